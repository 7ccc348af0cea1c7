#include "pageprep/restore_html.h"

#include <algorithm>

#include "pageprep/add_spans.h"
#include "pageprep/char_filters.h"
#include "text/text_util.h"

// The operations on a layout walk the edit HTML once, from one recorded marker to the next:
// the program knows where it wrote each marker, so nothing is searched for in the page's text.
// FindSpanLayout is the one reading of markers from text, for an edit HTML without its layout.

namespace pq {

namespace {

constexpr auto npos = std::string_view::npos;
constexpr std::string_view kOpenPrefix = "<span id=\"zzz";  // how every span marker starts
constexpr std::string_view kClose = "</span>";

using Filter = std::string (*)(std::string_view);
std::string Verbatim(std::string_view s) { return std::string(s); }

bool SameNoCase(std::string_view text, std::size_t at, std::string_view lowerLiteral) {
  return at <= text.size() && text.size() - at >= lowerLiteral.size() &&
         StartsWithNoCase(text.substr(at), lowerLiteral);
}

bool Fits(const SpanPlace& s, std::string_view html, std::size_t floor) {
  if (!(floor <= s.begin && s.begin < s.contentBegin && s.contentBegin <= s.textBegin &&
        s.textBegin <= s.textEnd && s.textEnd <= s.contentEnd && s.contentEnd <= s.end &&
        s.end <= html.size()))
    return false;
  // A closing tag that is missing (an unterminated marker read from text) is allowed.
  const bool closed = s.end - s.contentEnd == kClose.size() && SameNoCase(html, s.contentEnd, kClose);
  return SameNoCase(html, s.begin, kOpenPrefix) && (closed || s.end == s.contentEnd);
}

bool Fits(const InsertedText& t, std::string_view html, std::size_t floor) {
  return floor <= t.begin && t.begin < t.end && t.end <= html.size() &&
         (SameNoCase(html, t.begin, "<!--") || SameNoCase(html, t.begin, "<html"));
}

// Calls onSpan / onInserted for each place of the layout that fits, in document order, and
// onGap for the text between them.
template <class Gap, class OnSpan, class OnInserted>
void Walk(std::string_view html, const SpanLayout& layout, Gap onGap, OnSpan onSpan,
          OnInserted onInserted) {
  std::size_t cursor = 0;
  auto span = layout.spans.begin();
  auto ins = layout.inserted.begin();
  while (span != layout.spans.end() || ins != layout.inserted.end()) {
    const bool spanFirst =
        ins == layout.inserted.end() || (span != layout.spans.end() && span->begin < ins->begin);
    if (spanFirst) {
      const SpanPlace& s = *span++;
      if (!Fits(s, html, cursor)) continue;
      onGap(html.substr(cursor, s.begin - cursor));
      onSpan(s);
      cursor = s.end;
    } else {
      const InsertedText& t = *ins++;
      if (!Fits(t, html, cursor)) continue;
      onGap(html.substr(cursor, t.begin - cursor));
      onInserted(t);
      cursor = t.end;
    }
  }
  onGap(html.substr(cursor));
}

RestoredHTML Splice(std::string_view html, const SpanLayout& layout,
                    const SpanReplacement& replace, Filter filter) {
  RestoredHTML out;
  out.html.reserve(html.size());
  auto part = [&](std::size_t from, std::size_t to) { return html.substr(from, to - from); };
  Walk(
      html, layout, [&](std::string_view gap) { out.html += filter(gap); },
      [&](const SpanPlace& s) {
        if (std::optional<std::string> text = replace(s)) {
          out.html += filter(*text);
          return;
        }
        // Kept: the tags as written, the contents filtered, the place moved along.
        SpanPlace kept = s;
        kept.begin = out.html.size();
        out.html += part(s.begin, s.contentBegin);
        kept.contentBegin = out.html.size();
        out.html += filter(part(s.contentBegin, s.textBegin));
        kept.textBegin = out.html.size();
        out.html += filter(part(s.textBegin, s.textEnd));
        kept.textEnd = out.html.size();
        out.html += filter(part(s.textEnd, s.contentEnd));
        kept.contentEnd = out.html.size();
        out.html += part(s.contentEnd, s.end);
        kept.end = out.html.size();
        out.layout.spans.push_back(kept);
      },
      [&](const InsertedText& t) {
        const std::size_t begin = out.html.size();
        out.html += part(t.begin, t.end);
        out.layout.inserted.push_back({begin, out.html.size()});
      });
  return out;
}

// The next occurrence of `what` at or after `from` in `lower`, remembered so that a walk that
// only moves forward searches each stretch of text once.
class ForwardFind {
 public:
  ForwardFind(std::string_view lower, std::string_view what) : lower_(lower), what_(what) {}
  std::size_t From(std::size_t from) {
    if (searched_ && from >= searchedFrom_ && (found_ == npos || found_ >= from)) return found_;
    searched_ = true;
    searchedFrom_ = from;
    found_ = lower_.find(what_, from);
    return found_;
  }

 private:
  std::string_view lower_, what_;
  bool searched_ = false;
  std::size_t searchedFrom_ = 0;
  std::size_t found_ = npos;
};

}  // namespace

std::optional<std::string> SpanSnapshot::InnerHTML(const std::string& id) const {
  auto it = elements.find(id);
  if (it == elements.end()) return std::nullopt;
  return it->second.innerHTML;
}

std::vector<std::string> SpanSnapshot::EditableLinkHTML(const std::string& id) const {
  auto it = elements.find(id);
  return it == elements.end() ? std::vector<std::string>{} : it->second.editableLinks;
}

RestoredHTML SpliceSpans(std::string_view editHTML, const SpanLayout& layout,
                         const SpanReplacement& replace) {
  return Splice(editHTML, layout, replace, Verbatim);
}

std::optional<std::string> SpanContentsNow(std::string_view editHTML, const SpanPlace& s,
                                           const SpanSource& document) {
  const std::string id = s.Id();
  std::optional<std::string> inner = document.InnerHTML(id);
  if (!inner) return std::nullopt;  // no longer in the document: published as fetched
  if (s.kind == SpanKind::Edit) {
    std::string text = StripUnsafeChars(EncodeSpecialChars(*inner));
    // An emptied span keeps a place that stays editable the next time the page is prepared.
    if (text.find_first_not_of(' ') == std::string::npos) text = "&nbsp;<!--DeletedText-->";
    return text;
  }
  const auto links = document.EditableLinkHTML(id);
  // Only the typed text is filtered: the link's own tags stay as written.
  const std::string linkText =
      links.empty() ? "" : StripUnsafeChars(EncodeSpecialChars(links.back()));
  std::string content(editHTML.substr(s.contentBegin, s.contentEnd - s.contentBegin));
  // Only a link with its "</a>" has a text to replace; an empty one would lose the link.
  if (!linkText.empty() && s.textEnd < s.contentEnd)
    content.replace(s.textBegin - s.contentBegin, s.textEnd - s.textBegin, linkText);
  return content;
}

RestoredHTML RestoreHTML(std::string_view editHTML, const SpanLayout& layout,
                         const SpanSource& document) {
  return Splice(
      editHTML, layout,
      [&](const SpanPlace& s) { return SpanContentsNow(editHTML, s, document); },
      StripUnsafeCharsInMarkup);
}

std::string StripMarkers(std::string_view html, const SpanLayout& layout) {
  std::string out;
  out.reserve(html.size());
  Walk(
      html, layout, [&](std::string_view gap) { out += gap; },
      [&](const SpanPlace& s) { out += html.substr(s.contentBegin, s.contentEnd - s.contentBegin); },
      [](const InsertedText&) {});
  return out;
}

std::string PublishableHTML(std::string_view editHTML, const SpanLayout& layout,
                            const SpanSource& document) {
  const RestoredHTML restored = RestoreHTML(editHTML, layout, document);
  return StripMarkers(restored.html, restored.layout);
}

SpanLayout FindSpanLayout(std::string_view html) {
  const std::string lower = AsciiLower(html);
  const std::string_view text = lower;
  SpanLayout layout;
  ForwardFind opener(text, kOpenPrefix), fullPath(text, "<!--fullpath"),
      origUrl(text, "<!--origurl"), commentEnd(text, "-->"), spanClose(text, kClose),
      upperClose(html, "</SPAN>");
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t o = opener.From(pos);
    const std::size_t c = std::min(fullPath.From(pos), origUrl.From(pos));
    if (o == npos && c == npos) break;
    if (c < o) {
      const std::size_t end = commentEnd.From(c + 4);
      if (end == npos) break;  // unterminated: the rest of the page stays as it is
      layout.inserted.push_back({c, end + 3});
      pos = end + 3;
      continue;
    }
    // "<span id=\"zzz" + "edit" or "anchor" + digits + "\">", as the program writes it.
    SpanPlace s;
    std::size_t i = o + kOpenPrefix.size();
    if (text.compare(i, 4, "edit") == 0) {
      s.kind = SpanKind::Edit;
      i += 4;
    } else if (text.compare(i, 6, "anchor") == 0) {
      s.kind = SpanKind::Anchor;
      i += 6;
    } else {
      pos = o + 1;
      continue;
    }
    const std::size_t digits = i;
    while (i < text.size() && i - digits < 18 && text[i] >= '0' && text[i] <= '9')
      s.number = s.number * 10 + static_cast<unsigned long>(text[i++] - '0');
    if (i == digits || text.compare(i, 2, "\">") != 0) {
      pos = o + 1;
      continue;
    }
    s.begin = o;
    s.contentBegin = i + 2;
    s.contentEnd = s.end = text.size();
    // Markers in capitals, as the program writes them, close with "</SPAN>" in capitals, so a
    // page's own lower-case closer is never taken for theirs; others (a serialised document)
    // close in any case.
    const bool capitals = html.compare(o, 13, "<SPAN ID=\"ZZZ") == 0;
    ForwardFind& closer = capitals ? upperClose : spanClose;
    auto isCloser = [&](std::size_t at) {
      return capitals ? html.compare(at, kClose.size(), "</SPAN>") == 0 : SameNoCase(html, at, kClose);
    };
    // An edit span holds no tag but format tags and "<br>": its first closer is its own. A
    // link's closer follows its end tag, read as AddSpans read it ("</a >", "</a <>" and every
    // other end tag the tokenizer accepts), or, for a link without one, comes right before
    // the next link's span.
    std::size_t close = npos;
    std::size_t linkEnd = npos;  // where the link's text ends, when it has one
    if (s.kind == SpanKind::Anchor && text.compare(s.contentBegin, 2, "<a") == 0 &&
        s.contentBegin + 2 < text.size() &&
        std::string_view(" \t\r\n\f>/").find(text[s.contentBegin + 2]) != npos) {
      // (Only a link with an end tag ends right before a closer: one without ends at the next
      // link or at the end.)
      const LinkExtent link = ReadLink(html, s.contentBegin);
      if (link.end < text.size() && isCloser(link.end)) {
        close = link.end;
        if (link.textBegin != npos) s.textBegin = link.textBegin, linkEnd = link.textEnd;
      }
    }
    const bool endTagFound = close != npos;
    if (!endTagFound) close = closer.From(s.contentBegin);
    if (s.kind == SpanKind::Anchor && !endTagFound) {
      while (close != npos) {
        // A link without an end tag ends where the next link begins (its span, or the link
        // itself once that span is restored).
        const std::size_t next = close + kClose.size();
        if (text.compare(next, 19, "<span id=\"zzzanchor") == 0) break;
        if (text.compare(next, 2, "<a") == 0 && next + 2 < text.size() &&
            std::string_view(" \t\r\n\f>/").find(text[next + 2]) != npos)
          break;
        close = closer.From(close + 1);
      }
    }
    if (close != npos) {
      s.contentEnd = close, s.end = close + kClose.size();
    } else if (s.kind == SpanKind::Anchor && text.size() - s.contentBegin >= kClose.size() &&
               text.compare(text.size() - kClose.size(), kClose.size(), kClose) == 0) {
      s.contentEnd = text.size() - kClose.size();  // a link without an end tag runs to the end
    }
    // Only a link closed by its end tag (found above) has a text to replace.
    if (linkEnd != npos)
      s.textEnd = linkEnd;
    else
      s.textBegin = s.textEnd = s.contentEnd;
    layout.spans.push_back(s);
    pos = s.end;
  }
  return layout;
}

std::string RestoreHTML(std::string_view editHTML, const SpanSource& document) {
  return RestoreHTML(editHTML, FindSpanLayout(editHTML), document).html;
}

std::string StripMarkers(std::string_view html) { return StripMarkers(html, FindSpanLayout(html)); }

}  // namespace pq
