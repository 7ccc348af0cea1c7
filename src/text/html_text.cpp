#include "text/html_text.h"

#include <array>
#include <cstdint>

#include "text/text_util.h"
#include "text/utf8.h"

namespace pq {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ':';
}

// Elements whose contents are never shown as text.
constexpr std::array<std::string_view, 8> kHidden{"script", "style", "title", "template", "head",
                                                  "select", "noscript", "object"};
// Elements that stand on lines of their own.
constexpr std::array<std::string_view, 28> kBlocks{
    "p",     "div",   "li",  "ul",         "ol",      "dl",       "dt",     "dd",  "tr",    "table",
    "h1",    "h2",    "h3",  "h4",         "h5",      "h6",       "pre",    "blockquote", "address",
    "hr",    "form",  "fieldset", "section", "article", "header", "footer", "caption", "body"};

template <std::size_t N>
bool In(const std::array<std::string_view, N>& names, std::string_view name) {
  for (std::string_view n : names)
    if (n == name) return true;
  return false;
}

struct Entity {
  std::string_view name;
  char32_t cp;
};
constexpr Entity kEntities[] = {
    {"amp", '&'},      {"lt", '<'},        {"gt", '>'},        {"quot", '"'},      {"apos", '\''},
    {"nbsp", 0xA0},    {"copy", 0xA9},     {"reg", 0xAE},      {"trade", 0x2122},  {"euro", 0x20AC},
    {"pound", 0xA3},   {"yen", 0xA5},      {"cent", 0xA2},     {"sect", 0xA7},     {"deg", 0xB0},
    {"middot", 0xB7},  {"bull", 0x2022},   {"hellip", 0x2026}, {"ndash", 0x2013},  {"mdash", 0x2014},
    {"lsquo", 0x2018}, {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"ldquo", 0x201C},  {"rdquo", 0x201D},
    {"bdquo", 0x201E}, {"laquo", 0xAB},    {"raquo", 0xBB},    {"times", 0xD7},    {"divide", 0xF7},
    {"auml", 0xE4},    {"ouml", 0xF6},     {"uuml", 0xFC},     {"Auml", 0xC4},     {"Ouml", 0xD6},
    {"Uuml", 0xDC},    {"szlig", 0xDF},    {"eacute", 0xE9},   {"egrave", 0xE8},   {"agrave", 0xE0},
    {"aacute", 0xE1},  {"ccedil", 0xE7},   {"ecirc", 0xEA},    {"iexcl", 0xA1},    {"iquest", 0xBF},
    {"frac12", 0xBD},  {"frac14", 0xBC},   {"plusmn", 0xB1},   {"shy", 0xAD},      {"ensp", 0x2002},
    {"emsp", 0x2003},  {"thinsp", 0x2009},
};

// The character reference at text[i] == '&': its code point and length; 0 length when none.
std::pair<char32_t, std::size_t> Reference(std::string_view text, std::size_t i) {
  std::size_t j = i + 1;
  if (j < text.size() && text[j] == '#') {
    ++j;
    const bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
    if (hex) ++j;
    const std::size_t digits = j;
    std::uint32_t value = 0;
    for (; j < text.size(); ++j) {
      const char c = text[j];
      int d = -1;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
      if (d < 0) break;
      if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
    }
    if (j == digits) return {0, 0};
    if (j < text.size() && text[j] == ';') ++j;
    const bool bad = value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF);
    return {bad ? char32_t{0xFFFD} : static_cast<char32_t>(value), j - i};
  }
  while (j < text.size() && j - i <= 8 && ((text[j] >= 'a' && text[j] <= 'z') || (text[j] >= 'A' && text[j] <= 'Z') ||
                                           (text[j] >= '0' && text[j] <= '9')))
    ++j;
  const std::string_view name = text.substr(i + 1, j - i - 1);
  for (const Entity& e : kEntities) {
    if (e.name == name) return {e.cp, j - i + (j < text.size() && text[j] == ';' ? 1 : 0)};
  }
  return {0, 0};
}

class TextOut {
 public:
  void Text(std::string_view s, bool preformatted) {
    for (char c : s) {
      if (!preformatted && IsSpace(c)) {
        pendingSpace_ = true;
        continue;
      }
      if (preformatted && c == '\r') continue;
      if (preformatted && c == '\n') {
        Break();
        continue;
      }
      Char(c);
    }
  }
  void Char(char c) {
    // Control characters would land unseen in the page's text.
    if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) return;
    if (pendingBreaks_ > 0 && !out_.empty()) out_.append(pendingBreaks_, '\n');
    else if (pendingSpace_ && !out_.empty() && out_.back() != '\n') out_ += ' ';
    pendingBreaks_ = 0;
    pendingSpace_ = false;
    out_ += c;
  }
  void Append(char32_t cp) {
    if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) return;
    std::string s;
    AppendUtf8(s, cp);
    for (std::size_t k = 0; k < s.size(); ++k) {
      if (k == 0) Char(s[0]);
      else out_ += s[k];
    }
  }
  // A <br>: one line break each.
  void Break() {
    if (!out_.empty() || pendingBreaks_ > 0) ++pendingBreaks_;
    else out_ += '\n';
    pendingSpace_ = false;
  }
  // The edge of a block: a line break unless the text is already at the start of a line.
  void BlockEdge() {
    if (pendingBreaks_ == 0 && !out_.empty() && out_.back() != '\n') pendingBreaks_ = 1;
    pendingSpace_ = false;
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
  int pendingBreaks_ = 0;
  bool pendingSpace_ = false;
};

}  // namespace

std::string HtmlTextContent(std::string_view html) {
  TextOut out;
  int pre = 0;
  std::size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '&') {
      const auto [cp, length] = Reference(html, i);
      if (length > 0) {
        if (cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f')
          out.Text(std::string(1, static_cast<char>(cp)), pre > 0);
        else out.Append(cp);
        i += length;
      } else {
        out.Char('&');
        ++i;
      }
      continue;
    }
    if (c != '<') {
      std::size_t next = i;
      while (next < html.size() && html[next] != '<' && html[next] != '&') ++next;
      out.Text(html.substr(i, next - i), pre > 0);
      i = next;
      continue;
    }
    if (html.substr(i, 4) == "<!--") {
      const std::size_t end = html.find("-->", i + 4);
      i = end == std::string_view::npos ? html.size() : end + 3;
      continue;
    }
    const bool closing = i + 1 < html.size() && html[i + 1] == '/';
    std::size_t n = i + (closing ? 2 : 1);
    const std::size_t nameStart = n;
    // A tag's name starts with a letter; "<3" is text.
    if (n < html.size() && ((html[n] >= 'a' && html[n] <= 'z') || (html[n] >= 'A' && html[n] <= 'Z')))
      while (n < html.size() && IsNameChar(html[n])) ++n;
    if (n == nameStart) {
      // "<!DOCTYPE ...>", "<?xml ...?>" are markup; a lone "<" is text.
      if (n < html.size() && (html[n] == '!' || html[n] == '?')) {
        const std::size_t end = html.find('>', n);
        i = end == std::string_view::npos ? html.size() : end + 1;
      } else {
        out.Char('<');
        ++i;
      }
      continue;
    }
    const std::string name = AsciiLower(html.substr(nameStart, n - nameStart));
    const std::size_t end = QuotedTagEnd(html, i, html.size());  // from the tag's "<"
    i = end == std::string_view::npos ? html.size() : end + 1;
    if (!closing && In(kHidden, name)) {
      // Skipped up to its end tag (or to the end of the text).
      const std::string close = "</" + name;
      std::size_t k = i;
      for (;;) {
        k = html.find("</", k);
        if (k == std::string_view::npos) break;
        if (StartsWithNoCase(html.substr(k), close) &&
            (k + close.size() >= html.size() || !IsNameChar(html[k + close.size()])))
          break;
        k += 2;
      }
      if (k == std::string_view::npos) {
        i = html.size();
      } else {
        const std::size_t gt = html.find('>', k);
        i = gt == std::string_view::npos ? html.size() : gt + 1;
      }
      continue;
    }
    if (name == "br") {
      out.Break();
    } else if (In(kBlocks, name)) {
      out.BlockEdge();
      if (name == "pre" || name == "textarea") pre += closing ? (pre > 0 ? -1 : 0) : 1;
    } else if (name == "textarea") {
      pre += closing ? (pre > 0 ? -1 : 0) : 1;
    } else if (name == "td" || name == "th") {
      if (!closing) out.Text(" ", false);
    }
  }
  return out.Take();
}

}  // namespace pq
