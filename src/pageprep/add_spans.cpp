#include "pageprep/add_spans.h"

#include "text/tag_states.h"
#include "text/text_util.h"

#include <array>
#include <cstring>
#include <vector>

// One pass decides where the spans go, a second writes the output. All positions refer to
// the page as passed in: the scan only ever looks ahead of the spans it has placed, so the
// markers never need to be inserted while scanning.
//
// The scan reads the page through two views without building them:
// - the masked view, in which each format tag and "<br>" is plain text, so that the next "<"
//   is always the start of a structural tag;
// - the deleted-text marker "<!--DeletedText-->" is plain text too (it stands in edited text).
// - a "<" that cannot start a tag (followed by anything but an ASCII letter, "/", "!" or "?",
//   as the HTML tokenizer reads it) is plain text.
// A "<" that starts one of these is "hidden"; every other "<" starts a structural tag.

namespace pq {
namespace {

constexpr std::string_view kDeletedMarker = "<!--DeletedText-->";
constexpr std::size_t npos = std::string_view::npos;

// Format tags in the order the trimming steps test them; ids 0-5 are openers, 6-11 the
// matching closers, then "<br>" and the deleted-text marker.
constexpr std::array<std::string_view, 12> kFormatTags{
    "<strong>", "<b>", "<i>", "<u>", "<em>", "<cite>",
    "</strong>", "</b>", "</i>", "</u>", "</em>", "</cite>"};
constexpr int kCloserOffset = 6;
constexpr int kBrId = 12;
constexpr int kDeletedId = 13;
constexpr int kLessTextId = 14;  // a "<" that is text
constexpr std::string_view kBr = "<br>";
constexpr std::array<std::size_t, 15> kHiddenLength{8, 3, 3, 3, 4, 6, 9, 4, 4, 4, 5, 7, 4, 18, 1};

bool IsWs(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// Whether a "<" followed by c can start a tag, a comment or a declaration.
bool OpensTag(char c) { return IsAsciiLetter(c) || c == '/' || c == '!' || c == '?'; }
bool IsTextChar(char c) { return !IsWs(c) && c != '>'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

struct Span {
  std::size_t begin;
  std::size_t end;
  bool anchor;
  // Links only: the link's text, from the end of its start tag to its "</a>"; npos when the
  // link has no "</a>" or its start tag no end.
  std::size_t textBegin = npos;
  std::size_t textEnd = npos;
};

class Scanner {
 public:
  explicit Scanner(std::string_view text) : t_(text), n_(text.size()) {}

  void Run() {
    std::size_t p = 0;
    while (p + 1 < n_) {  // the last character is never looked at
      const char c = t_[p];
      if (c == '<') {
        const int id = HiddenAt(p);
        if (id < 0) {
          p = AfterStructuralTag(p);
          continue;
        }
        if (id != kDeletedId && id != kLessTextId) {  // a format tag: text only if something visible follows
          std::size_t stop;
          if (!HasVisibleText(p, stop)) {
            p = stop;
            continue;
          }
        }
      } else if (!IsTextChar(c)) {
        ++p;
        continue;
      }
      p = WrapRun(p);
    }
  }

  Span ReadLinkAt(std::size_t p) {
    WrapLink(p);
    return spans_.back();
  }

  MarkedHTML Write() const {
    // Upper bound of the output: every span adds at most its markers, a 20-digit number and
    // the five extra characters of "&nbsp;" standing for a space.
    constexpr std::size_t kMostPerSpan = 19 + 20 + 2 + 5 + 5 + 7;
    MarkedHTML marked;
    std::string& out = marked.html;
    out.assign(n_ + spans_.size() * kMostPerSpan, '\0');
    marked.layout.spans.reserve(spans_.size());
    char* w = out.data();
    auto put = [&w](std::string_view s) {
      std::memcpy(w, s.data(), s.size());
      w += s.size();
    };
    auto putNumber = [&w](unsigned long v) {
      char digits[20];
      int k = 0;
      do digits[k++] = static_cast<char>('0' + v % 10);
      while ((v /= 10) != 0);
      while (k) *w++ = digits[--k];
    };
    auto at = [&] { return static_cast<std::size_t>(w - out.data()); };
    std::size_t cursor = 0;
    unsigned long edits = 0, anchors = 0;
    for (const Span& span : spans_) {
      put(t_.substr(cursor, span.begin - cursor));
      SpanPlace place;
      place.begin = at();
      place.sourceBegin = span.begin;
      place.sourceEnd = span.end;
      if (span.anchor) {
        place.kind = SpanKind::Anchor;
        place.number = ++anchors;
        put("<SPAN ID=\"ZZZANCHOR");
        putNumber(place.number);
        put("\">");
        place.contentBegin = at();
        put(t_.substr(span.begin, span.end - span.begin));
        place.contentEnd = at();
        place.textBegin = place.textEnd = place.contentEnd;
        if (span.textBegin != npos) {
          place.textBegin = place.contentBegin + (span.textBegin - span.begin);
          place.textEnd = place.contentBegin + (span.textEnd - span.begin);
        }
        put("</SPAN>");
      } else {
        // One space at either end becomes a non-breaking space so it stays visible; the
        // opening one has no semicolon.
        std::size_t b = span.begin, e = span.end;
        const bool trailing = e > b && t_[e - 1] == ' ';
        if (trailing) --e;
        const bool leading = e > b && t_[b] == ' ';
        if (leading) ++b;
        place.number = ++edits;
        put("<SPAN ID=\"ZZZEDIT");
        putNumber(place.number);
        put("\">");
        place.contentBegin = at();
        if (leading) put("&nbsp");
        put(t_.substr(b, e - b));
        if (trailing) put("&nbsp;");
        place.contentEnd = at();
        place.textBegin = place.textEnd = place.contentEnd;
        put("</SPAN>");
      }
      place.end = at();
      marked.layout.spans.push_back(place);
      cursor = span.end;
    }
    put(t_.substr(cursor));
    out.resize(at());
    return marked;
  }

 private:
  // Whether the text at i is lit (lit is lower case), ignoring ASCII case.
  bool Has(std::size_t i, std::string_view lit) const {
    if (i > n_ || n_ - i < lit.size()) return false;
    for (std::size_t k = 0; k < lit.size(); ++k)
      if (Lower(t_[i + k]) != lit[k]) return false;
    return true;
  }
  bool HasWithin(std::size_t i, std::string_view lit, std::size_t end) const {
    return i + lit.size() <= end && Has(i, lit);
  }
  bool HasBefore(std::size_t q, std::string_view lit) const {
    return q >= lit.size() && Has(q - lit.size(), lit);
  }

  // Id of the format tag, "<br>" or deleted-text marker at i (a "<"), or -1.
  int HiddenAt(std::size_t i) const {
    if (i + 1 < n_ && !OpensTag(t_[i + 1])) return kLessTextId;
    if (i + 2 >= n_) return -1;  // every hidden tag is at least 3 characters
    auto is = [&](int id) { return Has(i, id == kBrId ? kBr : kFormatTags[id]) ? id : -1; };
    switch (Lower(t_[i + 1])) {
      case 's': return is(0);
      case 'b': return Has(i, "<b>") ? 1 : is(kBrId);
      case 'i': return is(2);
      case 'u': return is(3);
      case 'e': return is(4);
      case 'c': return is(5);
      case '/':
        switch (Lower(t_[i + 2])) {
          case 's': return is(6);
          case 'b': return is(7);
          case 'i': return is(8);
          case 'u': return is(9);
          case 'e': return is(10);
          case 'c': return is(11);
        }
        return -1;
      case '!':
        return t_.compare(i, kDeletedMarker.size(), kDeletedMarker) == 0 ? kDeletedId : -1;
    }
    return -1;
  }
  std::size_t HiddenLength(std::size_t i) const {
    const int id = HiddenAt(i);
    return id < 0 ? 0 : kHiddenLength[id];
  }

  std::size_t NextLess(std::size_t from) const {
    if (from >= n_) return npos;
    const void* hit = std::memchr(t_.data() + from, '<', n_ - from);
    return hit ? static_cast<const char*>(hit) - t_.data() : npos;
  }

  // The next "<" at or after from that starts a structural tag, or the end of the page.
  std::size_t NextStructural(std::size_t from) const {
    for (std::size_t i = NextLess(from); i != npos; i = NextLess(i)) {
      const std::size_t hidden = HiddenLength(i);
      if (!hidden) return i;
      i += hidden;
    }
    return n_;
  }

  // The first occurrence of closer (lower case, starting with "<") at or after from.
  std::size_t FindTag(std::string_view closer, std::size_t from) const {
    for (std::size_t i = NextLess(from); i != npos; i = NextLess(i + 1))
      if (Has(i, closer)) return i;
    return npos;
  }

  // Where the scan goes on after the structural tag at p (a "<"). Whatever is unterminated
  // reaches the end of the page.
  std::size_t AfterStructuralTag(std::size_t p) {
    if (Has(p, "<title")) return AfterElement(p, "</title");
    if (Has(p, "<!>")) return p + 3;
    if (Has(p, "<!--")) return AfterComment(p);
    if (Has(p, "<script")) return AfterElement(p, "</script");
    if (Has(p, "<style")) return AfterElement(p, "</style");
    if (Has(p, "<select")) return AfterElement(p, "</select");
    // Elements whose content the parser reads as raw text: markers there would show as text.
    if (IsTagNamed(p, "<textarea")) return AfterElement(p, "</textarea");
    if (IsTagNamed(p, "<xmp")) return AfterElement(p, "</xmp");
    if (IsTagNamed(p, "<iframe")) return AfterElement(p, "</iframe");
    if (IsTagNamed(p, "<noembed")) return AfterElement(p, "</noembed");
    if (IsTagNamed(p, "<noframes")) return AfterElement(p, "</noframes");
    if (IsTagNamed(p, "<plaintext")) return n_;  // nothing after it is markup
    if (p + 2 < n_ && Lower(t_[p + 1]) == 'a' && (IsWs(t_[p + 2]) || t_[p + 2] == '\f')) return WrapLink(p);
    const std::size_t end = TagEnd(p);
    return end == npos ? n_ : end + 1;
  }

  // A title, script, style or select element is skipped whole, text included. Its end tag
  // ends where the tokenizer ends it: a quoted ">" in an attribute of "</title x=\"a>b\">"
  // does not.
  std::size_t AfterElement(std::size_t p, std::string_view closer) const {
    const std::size_t at = FindTag(closer, p);
    const std::size_t gt = at == npos ? npos : TagEnd(at);
    return gt == npos ? n_ : gt + 1;
  }

  // The first "-->" ends a comment, a deleted-text marker's too: the tokenizer reads the
  // marker as text only outside comments.
  std::size_t AfterComment(std::size_t p) const {
    const std::size_t at = t_.find("-->", p);
    return at == npos ? n_ : at + 3;
  }

  // The ">" ending the tag at p, or npos, as the tokenizer's tag states read it: a quote opens
  // a value only after an attribute's name and "=" (TagStates), and the value ends at the same
  // quote wherever that is (a stray apostrophe hides the page up to the next one from the
  // browser too; one never closed hides the rest). Inside a tag "<" is an ordinary character:
  // the ">" of a "<b>" or "<br>" there ends the tag. A declaration, a processing instruction
  // or "</" without a letter ends at the first ">".
  std::size_t TagEnd(std::size_t p) const {
    if (IsCommentLikeTag(t_, p)) {
      const void* hit = std::memchr(t_.data() + p + 1, '>', n_ - p - 1);
      return hit ? static_cast<const char*>(hit) - t_.data() : npos;
    }
    TagStates states;
    for (std::size_t i = p + (p + 1 < n_ && t_[p + 1] == '/' ? 2 : 1); i < n_; ++i) {
      const char c = t_[i];
      if (c == '>') return i;
      if ((c == '"' || c == '\'') && states.QuoteOpensValue()) {
        const void* close = std::memchr(t_.data() + i + 1, c, n_ - i - 1);
        if (!close) return npos;
        i = static_cast<const char*>(close) - t_.data();
        states.QuotedValueEnded();
        continue;
      }
      states.Step(c);
    }
    return npos;
  }

  // A link is wrapped whole with its text, up to the first "</a>" that is a tag of its own
  // (tags and comments inside the link are stepped over whole, so a "</a>" in a quoted value
  // or a comment does not end it), or up to the end of the page when it has none.
  std::size_t WrapLink(std::size_t p) {
    Span link{p, n_, true};
    for (std::size_t i = TagEnd(p); i != npos && i < n_;) {
      const std::size_t tag = NextStructural(i + 1);
      if (tag >= n_) break;
      if (IsEndOfLink(tag)) {
        const std::size_t gt = TagEnd(tag);
        link.end = gt == npos ? n_ : gt + 1;
        // The text a browser sees: a quoted "<" does not end the start tag for it, though it
        // stops the quote for the scan.
        if (const std::size_t gt = QuotedTagEnd(t_, p, tag); gt != npos) {
          link.textBegin = gt + 1;
          link.textEnd = tag;
        }
        break;
      }
      // Another "<a" start tag begins (with or without attributes, as the parser closes the
      // open link there): this one has no "</a>" of its own, and its span stops here instead
      // of taking in the next link and everything between.
      if (tag + 2 < n_ && IsTagNamed(tag, "<a")) {
        link.end = tag;
        break;
      }
      i = Has(tag, "<!--") ? AfterComment(tag) - 1 : TagEnd(tag);
    }
    spans_.push_back(link);
    return link.end;
  }

  // A start tag with exactly this name (lit lower case, "<" included).
  bool IsTagNamed(std::size_t p, std::string_view lit) const {
    if (!Has(p, lit)) return false;
    const std::size_t after = p + lit.size();
    return after >= n_ || IsWs(t_[after]) || t_[after] == '>' || t_[after] == '/' || t_[after] == '\f';
  }

  // An end tag of a link as the tokenizer reads it: "</a" then ">", white space or "/".
  bool IsEndOfLink(std::size_t tag) const {
    return Has(tag, "</a") && tag + 3 < n_ &&
           (t_[tag + 3] == '>' || t_[tag + 3] == '/' || IsWs(t_[tag + 3]) || t_[tag + 3] == '\f');
  }

  // Whether the run at p holds a character that is not whitespace, ">" or inside a format
  // tag; if not, stop is where the scan goes on (the next structural "<" or the end).
  bool HasVisibleText(std::size_t p, std::size_t& stop) const {
    for (std::size_t i = p; i < n_;) {
      const char c = t_[i];
      if (c == '<') {
        const int id = HiddenAt(i);
        if (id == kDeletedId || id == kLessTextId) return true;
        if (id < 0) {
          stop = i;
          return false;
        }
        i += kHiddenLength[id];
      } else if (IsTextChar(c)) {
        return true;
      } else {
        ++i;
      }
    }
    stop = n_;
    return false;
  }

  std::size_t SkipWs(std::size_t q, std::size_t end) const {
    while (q < end && IsWs(t_[q])) ++q;
    return q;
  }
  std::size_t SkipWsBack(std::size_t q, std::size_t begin) const {
    while (q > begin && IsWs(t_[q - 1])) --q;
    return q;
  }

  std::size_t WrapRun(std::size_t p) {
    while (SkipLeadingClosers(p)) {
    }
    std::size_t s = p;
    std::size_t e = NextStructural(p);  // text after the last tag runs to the end
    while (TrimTrailingOpeners(e)) {
    }
    std::array<int, 12> count{};
    for (std::size_t i = NextLess(s); i != npos && i < e;) {
      const int id = HiddenAt(i);
      if (id >= 0 && id < kBrId) ++count[id];
      i = NextLess(i + (id >= 0 ? kHiddenLength[id] : 1));
    }
    while (TrimUnbalancedOpeners(s, e, count)) {
    }
    while (TrimUnbalancedClosers(s, e, count)) {
    }
    spans_.push_back({s, e, false});
    return e;
  }

  // Closing format tags and a "<br>" at the start of a run stay outside it; the whitespace
  // after the last of them stays inside.
  bool SkipLeadingClosers(std::size_t& p) const {
    std::size_t q = SkipWs(p, n_);
    bool consumed = false;
    for (int id = kCloserOffset; id < kBrId; ++id) {
      if (Has(q, kFormatTags[id])) {
        q += kFormatTags[id].size();
        p = q;
        q = SkipWs(q, n_);
        consumed = true;
      }
    }
    q = SkipWs(q, n_);
    if (Has(q, kBr)) {
      p = q + kBr.size();
      return true;
    }
    return consumed;
  }

  // The mirror image at the end of the run, for opening tags.
  bool TrimTrailingOpeners(std::size_t& e) const {
    std::size_t q = SkipWsBack(e, 0);
    bool removed = false;
    for (int id = 0; id < kCloserOffset; ++id) {
      if (HasBefore(q, kFormatTags[id])) {
        q -= kFormatTags[id].size();
        e = q;
        q = SkipWsBack(q, 0);
        removed = true;
      }
    }
    q = SkipWsBack(q, 0);
    if (HasBefore(q, kBr)) {
      e = q - kBr.size();
      return true;
    }
    return removed;
  }

  // An opener at the start whose closer is not in the run (more openers than closers of
  // its kind) is left out, and so is a "<br>" after it.
  bool TrimUnbalancedOpeners(std::size_t& s, std::size_t e, std::array<int, 12>& count) const {
    std::size_t i = SkipWs(s, e);
    std::size_t start = s;
    bool removed = false;
    for (int id = 0; id < kCloserOffset; ++id) {
      if (HasWithin(i, kFormatTags[id], e) && count[id] > count[id + kCloserOffset]) {
        --count[id];
        i += kFormatTags[id].size();
        start = i;
        i = SkipWs(i, e);
        removed = true;
      }
    }
    i = SkipWs(i, e);
    if (HasWithin(i, kBr, e)) {
      start = i + kBr.size();
      removed = true;
    }
    s = start;
    return removed;
  }

  // A closer that ends the run and whose opener is not in it is left out, and so is a
  // "<br>" before it. Only a closer ending exactly at the current end is found.
  bool TrimUnbalancedClosers(std::size_t s, std::size_t& e, std::array<int, 12>& count) const {
    std::size_t j = e;
    std::size_t end = e;
    bool removed = false;
    for (int id = kCloserOffset; id < kBrId; ++id) {
      const std::size_t k = kFormatTags[id].size();
      if (j - s >= k && HasBefore(j, kFormatTags[id]) && count[id] > count[id - kCloserOffset]) {
        --count[id];
        j -= k;
        end = j;
        removed = true;
      }
    }
    j = SkipWsBack(j, s);
    if (j - s >= kBr.size() && HasBefore(j, kBr)) {
      j -= kBr.size();
      end = j;
      removed = true;
    }
    e = end;
    return removed;
  }

  std::string_view t_;
  std::size_t n_;
  std::vector<Span> spans_;
};

}  // namespace

MarkedHTML AddSpansWithLayout(std::string_view html) {
  Scanner scanner(html);
  scanner.Run();
  return scanner.Write();
}

std::string AddSpans(std::string_view html) { return AddSpansWithLayout(html).html; }

LinkExtent ReadLink(std::string_view html, std::size_t at) {
  const Span link = Scanner(html).ReadLinkAt(at);
  return {link.end, link.textBegin, link.textEnd};
}

}  // namespace pq
