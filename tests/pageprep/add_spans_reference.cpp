#include "add_spans_reference.h"

#include <array>

// Positions are 1-based and every read goes through At/StartsAt/InStr, which answer "nothing"
// outside the text, so the scan itself can be written exactly as the steps read.
//
// Where the plain scan has no sound answer, both this and pq::AddSpans do the same:
// - a title, comment, script, style, select or link without its end, and text after the
//   last tag, reach the end of the page;
// - the ">" that ends a tag is any ">" of the page (a format tag's too, as the tokenizer reads
//   it), but a quoted attribute value (see TagEnd, which follows the tokenizer's tag states)
//   does not end it; a link ends at the first "</a>" that is a tag of its own;
// - the finishing replacements only change what the scan inserted.

namespace pqtest {
namespace {

constexpr std::string_view kDeletedMarker = "<!--DeletedText-->";
constexpr std::string_view kPlaceholder = "ZZXDELETEDZTEXTXXZ";

struct FormatTag {
  std::string_view open;
  std::string_view close;
};
constexpr std::array<FormatTag, 6> kFormatTags{{{"<strong>", "</strong>"},
                                                {"<b>", "</b>"},
                                                {"<i>", "</i>"},
                                                {"<u>", "</u>"},
                                                {"<em>", "</em>"},
                                                {"<cite>", "</cite>"}}};
constexpr std::string_view kBr = "<br>";
// In the masked copy, a "<" that is text (it starts no tag).
constexpr char kLessText = '\x01';

// Where each character of the source text came from; the finishing replacements only touch
// what the scan wrote itself, never page text that happens to spell a temporary marker.
constexpr char kFromPage = 'p';
constexpr char kFromScan = 'm';
constexpr char kFromDeletedMarker = 'd';

bool IsWs(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool IsTextChar(char c) { return !IsWs(c) && c != '>'; }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Character at 1-based pos, or NUL outside the text (NUL is neither whitespace nor a tag
// character, so it stops every walk).
char At(const std::string& s, long pos) {
  return pos >= 1 && pos <= static_cast<long>(s.size()) ? s[pos - 1] : '\0';
}

bool StartsAt(const std::string& s, long pos, std::string_view t) {
  return pos >= 1 && pos - 1 + static_cast<long>(t.size()) <= static_cast<long>(s.size()) &&
         std::string_view(s).substr(pos - 1, t.size()) == t;
}

// The t characters ending just before pos.
bool EndsBefore(const std::string& s, long pos, std::string_view t) {
  return StartsAt(s, pos - static_cast<long>(t.size()), t);
}

// 1-based position of the first t at or after start, 0 if none.
long InStr(long start, const std::string& s, std::string_view t) {
  if (start < 1) start = 1;
  if (start > static_cast<long>(s.size()) + 1) return 0;
  const auto hit = s.find(t, start - 1);
  return hit == std::string::npos ? 0 : static_cast<long>(hit) + 1;
}

long CountOccurrences(const std::string& r, std::string_view t) {
  long n = 0;
  for (auto hit = r.find(t); hit != std::string::npos; hit = r.find(t, hit + t.size())) ++n;
  return n;
}

// Replaces every occurrence of from whose characters [markOffset, markOffset + markLength)
// have the given origin; the replacement text gets origin newOrigin.
void ReplaceWhereFrom(std::string& text, std::string& origin, std::string_view from,
                      std::string_view to, std::size_t markOffset, std::size_t markLength,
                      char wantOrigin, char newOrigin) {
  std::string outText, outOrigin;
  std::size_t cursor = 0;
  for (auto hit = text.find(from); hit != std::string::npos; hit = text.find(from, hit + 1)) {
    if (hit < cursor) continue;
    if (origin.compare(hit + markOffset, markLength, std::string(markLength, wantOrigin)) != 0)
      continue;
    outText.append(text, cursor, hit - cursor);
    outOrigin.append(origin, cursor, hit - cursor);
    outText.append(to);
    outOrigin.append(to.size(), newOrigin);
    cursor = hit + from.size();
  }
  outText.append(text, cursor);
  outOrigin.append(origin, cursor);
  text = std::move(outText);
  origin = std::move(outOrigin);
}

class Scan {
 public:
  explicit Scan(std::string_view html) {
    // Preparation 1: the deleted-text marker counts as text during the scan.
    std::size_t cursor = 0;
    for (auto hit = html.find(kDeletedMarker); hit != std::string_view::npos;
         hit = html.find(kDeletedMarker, cursor)) {
      src_.append(html.substr(cursor, hit - cursor));
      origin_.append(hit - cursor, kFromPage);
      src_.append(kPlaceholder);
      origin_.append(kPlaceholder.size(), kFromDeletedMarker);
      cursor = hit + kDeletedMarker.size();
    }
    src_.append(html.substr(cursor));
    origin_.append(html.size() - cursor, kFromPage);

    // Preparation 2: lower-case and masked copies, and the page as it reads inside a tag
    // (the marker and its placeholder have the same length).
    static_assert(kDeletedMarker.size() == kPlaceholder.size());
    plain_ = Lower(html);
    lower_ = Lower(src_);
    masked_ = lower_;
    // A "<" that cannot open a tag (not followed by a letter, "/", "!" or "?") is text.
    for (std::size_t i = 0; i + 1 < masked_.size(); ++i) {
      // The deleted-text marker stands as its placeholder here; it begins with "<".
      const char next = origin_[i + 1] == kFromDeletedMarker ? '<' : lower_[i + 1];
      if (lower_[i] == '<' && !((next >= 'a' && next <= 'z') || next == '/' || next == '!' || next == '?')) {
        masked_[i] = kLessText;
      }
    }
    const std::string xs(15, 'x');
    auto mask = [&](std::string_view tag) {
      for (auto hit = masked_.find(tag); hit != std::string::npos;
           hit = masked_.find(tag, hit + tag.size()))
        masked_.replace(hit, tag.size(), xs.substr(0, tag.size()));
    };
    for (const auto& tag : kFormatTags) {
      mask(tag.open);
      mask(tag.close);
    }
    mask(kBr);
  }

  std::string Run() {
    long p = 1;
    while (p < Len()) p = Step(p) + 1;
    Finish();
    return src_;
  }

 private:
  long Len() const { return static_cast<long>(src_.size()); }

  // One rule of the main scan at p; returns the rule's result position.
  long Step(long p) {
    if (StartsAt(masked_, p, "<title")) return SkipElement(p, "</title");
    if (StartsAt(masked_, p, "<!>")) return FirstGreater(p);
    if (StartsAt(masked_, p, "<!--")) {
      const long close = InStr(p, plain_, "-->");  // a marker's "-->" in a comment ends it
      return close ? close + 2 : Len();
    }
    if (StartsAt(masked_, p, "<script")) return SkipElement(p, "</script");
    if (StartsAt(masked_, p, "<style")) return SkipElement(p, "</style");
    if (StartsAt(masked_, p, "<select")) return SkipElement(p, "</select");
    for (const char* raw : {"textarea", "xmp", "iframe", "noembed", "noframes"}) {
      const std::string open = std::string("<") + raw;
      const long at = p + static_cast<long>(open.size());
      const char after = At(masked_, at);
      if (StartsAt(masked_, p, open) && (at > Len() || after == '>' || after == '/' || IsWs(after) || after == '\f'))
        return SkipElement(p, "</" + std::string(raw));
    }
    if (StartsAt(masked_, p, "<plaintext")) {
      const char after = At(masked_, p + 10);
      if (p + 10 > Len() || after == '>' || after == '/' || IsWs(after) || after == '\f') return Len();
    }
    const bool link = At(masked_, p) == '<' && At(masked_, p + 1) == 'a' && IsWs(At(masked_, p + 2));
    if (At(masked_, p) == '<' && !link) return TagEnd(p);
    if (link) return WrapLink(p);
    if (!IsTextChar(At(masked_, p))) return p;
    if (!HasVisibleText(p)) {
      const long next = InStr(p, masked_, "<");
      return next ? next - 1 : Len();
    }
    return WrapRun(p);
  }

  // Unterminated elements reach the end of the page.
  long SkipElement(long p, std::string_view closer) {
    const long at = InStr(p, masked_, closer);
    return at ? TagEnd(at) : Len();
  }

  long FirstGreater(long p) {
    const long gt = InStr(p, masked_, ">");
    return gt ? gt : Len();
  }

  // The ">" ending the tag at p, read by the tokenizer's tag states. "<!", "<?" and "</"
  // without a letter end at the first ">". In a start or end tag a quote opens a value only in
  // the state before an attribute value (after a name and "="), and the value ends at the same
  // quote wherever it is. Inside a tag every ">" of the page counts, a format tag's too. An
  // unterminated tag or value reaches the end of the page.
  long TagEnd(long p) {
    const char next = At(plain_, p + 1);
    const bool endTag = next == '/' && At(plain_, p + 2) >= 'a' && At(plain_, p + 2) <= 'z';
    if (next == '!' || next == '?' || (next == '/' && !endTag)) return FirstGreaterOfPage(p);
    enum { kTagName, kBeforeAttributeName, kAttributeName, kAfterAttributeName,
           kBeforeAttributeValue, kUnquotedValue } state = kTagName;
    for (long i = p + (endTag ? 2 : 1); i <= Len(); ++i) {
      const char c = At(plain_, i);
      const bool blank = IsWs(c) || c == '\f';
      if (c == '>') return i;
      switch (state) {
        case kTagName:
          if (blank || c == '/') state = kBeforeAttributeName;
          break;
        case kBeforeAttributeName:
          if (!blank && c != '/') state = kAttributeName;  // "=" and quotes start a name here
          break;
        case kAttributeName:
          if (blank) state = kAfterAttributeName;
          else if (c == '/') state = kBeforeAttributeName;
          else if (c == '=') state = kBeforeAttributeValue;
          break;
        case kAfterAttributeName:
          if (c == '/') state = kBeforeAttributeName;
          else if (c == '=') state = kBeforeAttributeValue;
          else if (!blank) state = kAttributeName;
          break;
        case kBeforeAttributeValue:
          if (c == '"' || c == '\'') {
            const long close = InStr(i + 1, plain_, std::string_view(&c, 1));
            if (!close) return Len();
            i = close;
            state = kBeforeAttributeName;
            break;
          }
          if (!blank) state = kUnquotedValue;
          break;
        case kUnquotedValue:
          if (blank) state = kBeforeAttributeName;
          break;
      }
    }
    return Len();
  }

  long FirstGreaterOfPage(long p) {
    const long gt = InStr(p, plain_, ">");
    return gt ? gt : Len();
  }

  bool HasVisibleText(long p) {
    const long next = InStr(p, masked_, "<");
    const long end = next ? next : Len() + 1;
    for (long i = p; i < end; ++i) {
      if (At(src_, i) == '<' && At(masked_, i) == kLessText) return true;
      if (At(src_, i) == '<') {
        const long gt = InStr(i, src_, ">");
        if (!gt || gt >= end) return false;
        i = gt;
      } else if (IsTextChar(At(src_, i))) {
        return true;
      }
    }
    return false;
  }

  // The link ends after the first end tag "</a" ... ">" that starts a tag of its own, or before the next link: the tags and comments
  // inside the link are stepped over whole, so a "</a>" inside a quoted value or a comment
  // does not end it. An unclosed link reaches the end of the page.
  long WrapLink(long p) {
    const long s = p;
    long e = Len() + 1;
    for (long i = TagEnd(p) + 1; i <= Len();) {
      const long tag = InStr(i, masked_, "<");
      if (!tag) break;
      const char afterName = At(lower_, tag + 3);
      if (StartsAt(lower_, tag, "</a") &&
          (afterName == '>' || afterName == '/' || IsWs(afterName) || afterName == '\f')) {
        e = TagEnd(tag) + 1;
        break;
      }
      // The next link starts: this one has no end tag of its own.
      const char afterA = At(masked_, tag + 2);
      if (StartsAt(masked_, tag, "<a") &&
          (IsWs(afterA) || afterA == '>' || afterA == '/' || afterA == '\f')) {
        e = tag;
        break;
      }
      if (StartsAt(masked_, tag, "<!--")) {
        const long close = InStr(tag, plain_, "-->");
        if (!close) break;
        i = close + 3;
        continue;
      }
      i = TagEnd(tag) + 1;
    }
    const std::string opening = "<SPAN ID=\"ZZZANCHOR" + std::to_string(anchorCount_++) + "\">";
    return WrapRange(s, e, opening, "</SPAN>");
  }

  long WrapRun(long p) {
    while (SkipLeadingClosers(p)) {
    }
    long s = p;
    const long next = InStr(p, masked_, "<");
    long e = next ? next : Len() + 1;  // text after the last "<" runs to the end
    while (TrimTrailingOpeners(e)) {
    }
    while (TrimUnbalancedOpeners(s, e)) {
    }
    while (TrimUnbalancedClosers(s, e)) {
    }
    const std::string opening = "<SPAN ID=\"ZZZEDIT" + std::to_string(editCount_++) + "\"ESPN>";
    return WrapRange(s, e, opening, "</SPANX>");
  }

  void SkipWsForward(const std::string& s, long& q) const {
    while (IsWs(At(s, q))) ++q;
  }
  void SkipWsBackward(long& q) const {
    while (q > 1 && IsWs(At(lower_, q - 1))) --q;
  }

  bool SkipLeadingClosers(long& p) {
    long q = p;
    SkipWsForward(lower_, q);
    bool consumed = false;
    for (const auto& tag : kFormatTags) {
      if (StartsAt(lower_, q, tag.close)) {
        q += static_cast<long>(tag.close.size());
        p = q;
        SkipWsForward(lower_, q);
        consumed = true;
      }
    }
    SkipWsForward(lower_, q);
    if (StartsAt(lower_, q, kBr)) {
      p = q + 4;
      return true;
    }
    return consumed;
  }

  bool TrimTrailingOpeners(long& e) {
    long q = e;
    SkipWsBackward(q);
    bool removed = false;
    for (const auto& tag : kFormatTags) {
      if (EndsBefore(lower_, q, tag.open)) {
        q -= static_cast<long>(tag.open.size());
        e = q;
        SkipWsBackward(q);
        removed = true;
      }
    }
    SkipWsBackward(q);
    if (EndsBefore(lower_, q, kBr)) {
      e = q - 4;
      return true;
    }
    return removed;
  }

  bool TrimUnbalancedOpeners(long& s, long e) {
    const std::string r = lower_.substr(s - 1, e - s);
    long i = 1;
    long a = 0;
    bool removed = false;
    SkipWsForward(r, i);
    for (const auto& tag : kFormatTags) {
      if (StartsAt(r, i, tag.open) && CountOccurrences(r, tag.open) > CountOccurrences(r, tag.close)) {
        i += static_cast<long>(tag.open.size());
        a = i - 1;
        SkipWsForward(r, i);
        removed = true;
      }
    }
    SkipWsForward(r, i);
    if (StartsAt(r, i, kBr)) {
      a = i + 3;
      removed = true;
    }
    s += a;
    return removed;
  }

  bool TrimUnbalancedClosers(long s, long& e) {
    const std::string r = lower_.substr(s - 1, e - s);
    const long length = static_cast<long>(r.size());
    long j = length + 1;
    long c = 0;
    bool removed = false;
    for (const auto& tag : kFormatTags) {
      const long k = static_cast<long>(tag.close.size());
      if (j > k && EndsBefore(r, j, tag.close) &&
          CountOccurrences(r, tag.close) > CountOccurrences(r, tag.open)) {
        j -= k;
        c = length + 1 - j;
        removed = true;
      }
    }
    while (j > 1 && IsWs(At(r, j - 1))) --j;
    if (j >= 5 && EndsBefore(r, j, kBr)) {
      j -= 4;
      c = length + 1 - j;
      removed = true;
    }
    e -= c;
    return removed;
  }

  void Insert(long pos, std::string_view marker) {
    const std::string lower = Lower(marker);
    src_.insert(pos - 1, marker);
    lower_.insert(pos - 1, lower);
    masked_.insert(pos - 1, lower);
    plain_.insert(pos - 1, lower);
    origin_.insert(pos - 1, marker.size(), kFromScan);
  }

  long WrapRange(long s, long e, std::string_view opening, std::string_view closing) {
    Insert(s, opening);
    const long closeAt = e + static_cast<long>(opening.size());
    Insert(closeAt, closing);
    return closeAt + static_cast<long>(closing.size()) - 1;
  }

  void Finish() {
    ReplaceWhereFrom(src_, origin_, " </SPANX>", "&nbsp;</SPAN>", 1, 8, kFromScan, kFromScan);
    ReplaceWhereFrom(src_, origin_, "</SPANX>", "</SPAN>", 0, 8, kFromScan, kFromScan);
    ReplaceWhereFrom(src_, origin_, "ESPN> ", ">&nbsp", 0, 5, kFromScan, kFromScan);
    ReplaceWhereFrom(src_, origin_, kPlaceholder, kDeletedMarker, 0, kPlaceholder.size(),
                     kFromDeletedMarker, kFromPage);
    ReplaceWhereFrom(src_, origin_, "ESPN>", ">", 0, 5, kFromScan, kFromScan);
  }

  std::string src_, lower_, masked_, plain_, origin_;
  long editCount_ = 1;
  long anchorCount_ = 1;
};

}  // namespace

std::string ReferenceAddSpans(std::string_view html) { return Scan(html).Run(); }

}  // namespace pqtest
