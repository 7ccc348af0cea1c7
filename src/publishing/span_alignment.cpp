#include "publishing/span_alignment.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "pageprep/named_references.h"
#include "text/utf8.h"

namespace pq {
namespace {

// One thing the HTML tokenizer reads: a character (written as itself or as a reference), a
// start or end tag, or a comment.
struct Unit {
  enum class Kind { Char, StartTag, EndTag, Comment };
  Kind kind = Kind::Char;
  std::size_t begin = 0, end = 0;
  char32_t cp = 0;    // Char
  std::string name;   // tags, lower case
};

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiAlnum(char c) { return IsAsciiAlpha(c) || (c >= '0' && c <= '9'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Numeric references to 0x80-0x9F stand for the windows-1252 characters, as browsers read them.
char32_t NumericReference(char32_t cp) {
  static constexpr char32_t kC1[32] = {
      0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  if (cp >= 0x80 && cp <= 0x9F) return kC1[cp - 0x80];
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

// The end of the tag that opens at `at` (just past its ">"), stepping over quoted values.
std::optional<std::size_t> TagEnd(std::string_view t, std::size_t at) {
  char quote = 0;
  for (std::size_t i = at + 1; i < t.size(); ++i) {
    const char c = t[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '>') {
      return i + 1;
    } else if ((c == '"' || c == '\'') && i > 0) {
      std::size_t j = i;
      while (j > at && (t[j - 1] == ' ' || t[j - 1] == '\t' || t[j - 1] == '\n' || t[j - 1] == '\r'))
        --j;
      if (t[j - 1] == '=') quote = c;
    }
  }
  return std::nullopt;
}

// The units of a span's contents, or nullopt where the reading is not certain (a reference
// that is not complete or not known, a tag or comment without its end). In the engine's
// serialisation (`serialised`) a raw carriage return is the character itself (a page's "&#13;"),
// where in a page's own text the parser reads it as a line end.
std::optional<std::vector<Unit>> Units(std::string_view t, bool serialised) {
  std::vector<Unit> units;
  for (std::size_t i = 0; i < t.size();) {
    Unit u;
    u.begin = i;
    const char c = t[i];
    const char next = i + 1 < t.size() ? t[i + 1] : '\0';
    if (c == '<' && t.substr(i, 4) == "<!--") {
      const std::size_t close = t.find("-->", i + 4);
      if (close == std::string_view::npos) return std::nullopt;
      u.kind = Unit::Kind::Comment;
      u.end = close + 3;
    } else if (c == '<' && (IsAsciiAlpha(next) || next == '!' || next == '?' ||
                            (next == '/' && i + 2 < t.size() && IsAsciiAlpha(t[i + 2])))) {
      const auto end = TagEnd(t, i);
      if (!end) return std::nullopt;
      u.end = *end;
      if (next == '!' || next == '?') {
        u.kind = Unit::Kind::Comment;
      } else {
        u.kind = next == '/' ? Unit::Kind::EndTag : Unit::Kind::StartTag;
        for (std::size_t k = i + (next == '/' ? 2 : 1); k < u.end && IsAsciiAlnum(t[k]); ++k)
          u.name += Lower(t[k]);
      }
    } else if (c == '<' && next == '/') {
      return std::nullopt;  // "</" then no letter: a bogus comment or text, not worth guessing
    } else if (c == '&' && (next == '#' || IsAsciiAlnum(next))) {
      const std::size_t semi = t.find(';', i);
      if (semi == std::string_view::npos || semi - i > 40) return std::nullopt;
      const std::string_view name = t.substr(i + 1, semi - i - 1);
      if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        char32_t cp = 0;
        for (char d : digits) {
          int v = d >= '0' && d <= '9' ? d - '0'
                  : hex && Lower(d) >= 'a' && Lower(d) <= 'f' ? Lower(d) - 'a' + 10
                                                              : -1;
          if (v < 0) return std::nullopt;
          cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(v);
        }
        u.cp = NumericReference(cp);
      } else {
        const auto cp = NamedReference(name);
        if (!cp) return std::nullopt;
        u.cp = *cp;
      }
      u.end = semi + 1;
    } else if (c == '\r' && !serialised) {
      u.cp = '\n';  // the parser reads CR LF and a lone CR as LF
      u.end = next == '\n' ? i + 2 : i + 1;
    } else {
      std::size_t pos = i;
      u.cp = NextCodePoint(t, pos);
      u.end = pos;
    }
    i = u.end;
    units.push_back(std::move(u));
  }
  return units;
}

// A recorded unit stands for the source's: the same character (a space shown as a non-breaking
// one at a span's edge included), the same tag, or a comment.
bool Same(const Unit& source, const Unit& recorded) {
  if (source.kind != recorded.kind) return false;
  if (source.kind == Unit::Kind::Char)
    return source.cp == recorded.cp || (recorded.cp == 0xA0 && source.cp == ' ');
  return source.name == recorded.name;
}

// The index of the unit that starts at `at`, or nullopt when none does.
std::optional<std::size_t> UnitStartingAt(const std::vector<Unit>& units, std::size_t at,
                                          std::size_t size) {
  if (at == size) return units.size();
  for (std::size_t k = 0; k < units.size(); ++k)
    if (units[k].begin == at) return k;
  return std::nullopt;
}

}  // namespace

std::optional<SpanChange> AlignSpanChange(std::string_view source, std::string_view recorded,
                                          std::string_view now) {
  const auto inSource = Units(source, false);
  const auto inRecorded = Units(recorded, true);
  const auto inNow = Units(now, true);
  if (!inSource || !inRecorded || !inNow || inSource->size() != inRecorded->size())
    return std::nullopt;
  for (std::size_t k = 0; k < inSource->size(); ++k)
    if (!Same((*inSource)[k], (*inRecorded)[k])) return std::nullopt;

  std::size_t prefix = 0;
  const std::size_t most = std::min(recorded.size(), now.size());
  while (prefix < most && recorded[prefix] == now[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < most - prefix &&
         recorded[recorded.size() - 1 - suffix] == now[now.size() - 1 - suffix])
    ++suffix;

  // Widened to whole units of the recorded contents: the first that is not all in the common
  // start, and the first that is all in the common end.
  std::size_t first = 0;
  while (first < inRecorded->size() && (*inRecorded)[first].end <= prefix) ++first;
  std::size_t last = first;
  while (last < inRecorded->size() && (*inRecorded)[last].begin < recorded.size() - suffix) ++last;
  const std::size_t from = first < inRecorded->size() ? (*inRecorded)[first].begin : recorded.size();
  const std::size_t to = last < inRecorded->size() ? (*inRecorded)[last].begin : recorded.size();
  const std::size_t nowTo = now.size() - (recorded.size() - to);
  // The new contents must break into units at the same places, or the middle is not a whole.
  if (!UnitStartingAt(*inNow, from, now.size()) || !UnitStartingAt(*inNow, nowTo, now.size()))
    return std::nullopt;

  SpanChange change;
  change.begin = first < inSource->size() ? (*inSource)[first].begin : source.size();
  change.end = last < inSource->size() ? (*inSource)[last].begin : source.size();
  change.now = std::string(now.substr(from, nowTo - from));
  return change;
}

}  // namespace pq
