#include "pageprep/restore_html.h"

#include <algorithm>
#include <utility>

#include "pageprep/char_filters.h"
#include "pageprep/text_util.h"

namespace pq {

namespace {

constexpr std::string_view kAnchorId = "ZZZANCHOR";
constexpr std::string_view kEditId = "ZZZEDIT";
constexpr auto npos = std::string_view::npos;

// "ZZZEDIT" + the digits that follow the prefix at pos.
std::string IdAt(std::string_view text, std::size_t pos, std::string_view prefix) {
  std::size_t end = pos + prefix.size();
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  return std::string(text.substr(pos, end - pos));
}

// The ">" that ends the tag starting at pos; a ">" inside a quoted attribute value does not.
std::size_t TagEnd(std::string_view text, std::size_t pos) {
  char quote = 0;
  for (std::size_t i = pos; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      std::size_t j = i;
      while (j > pos && (text[j - 1] == ' ' || text[j - 1] == '\t' || text[j - 1] == '\n' ||
                         text[j - 1] == '\r'))
        --j;
      // A quote opens a value only after "=" and only when it is closed again.
      if (j > pos && text[j - 1] == '=' && text.find(c, i + 1) != npos) quote = c;
    } else if (c == '>') {
      return i;
    }
  }
  return npos;
}

bool InCapitals(std::string_view text, std::size_t tagStart) {
  return tagStart != npos && text.compare(tagStart, 5, "<SPAN") == 0;
}

bool TagNameEndsAt(std::string_view lower, std::size_t i) {
  return i < lower.size() && (lower[i] == '>' || lower[i] == ' ' || lower[i] == '\t' ||
                              lower[i] == '\n' || lower[i] == '\r');
}

// The closing tag of a marker span whose opening tag ends before `from`. Markers are written
// "<SPAN ...>" ... "</SPAN>" in capitals, so only spans written the same way count: a page's
// own span in a link is stepped over, and a stray lower-case one is never taken for ours.
// A marker in any other case (a serialised document) matches closers in any case.
std::size_t MatchingSpanClose(std::string_view text, std::string_view lower, std::size_t from,
                              bool capitals) {
  std::string_view hay = capitals ? text : lower;
  const std::string_view open = capitals ? "<SPAN" : "<span";
  const std::string_view close = capitals ? "</SPAN" : "</span";
  int depth = 0;
  std::size_t first = npos;
  for (std::size_t i = hay.find('<', from); i != npos; i = hay.find('<', i + 1)) {
    if (hay.compare(i, 6, close) == 0 && TagNameEndsAt(lower, i + 6)) {
      if (depth == 0) return i;
      if (first == npos) first = i;
      --depth;
    } else if (hay.compare(i, 5, open) == 0 && TagNameEndsAt(lower, i + 5)) {
      ++depth;
    }
  }
  return first;  // a span of the page's own left open inside ours
}

bool Present(const SpanSource& doc, const std::string& id, std::string_view prefix) {
  return id.size() > prefix.size() && doc.InnerHTML(id).has_value();
}

std::string RestoreLinks(std::string_view in, const SpanSource& doc) {
  const std::string lowerIn = AsciiLower(in);
  std::string out;
  out.reserve(in.size());
  std::size_t cursor = 0;
  for (std::size_t p = in.find(kAnchorId); p != npos;) {
    const std::size_t s = in.rfind('<', p);
    const std::string id = IdAt(in, p, kAnchorId);
    const std::size_t openEnd = s == npos ? npos : in.find('>', s);
    if (s == npos || s < cursor || openEnd == npos || !Present(doc, id, kAnchorId)) {
      p = in.find(kAnchorId, p + 1);
      continue;
    }
    const std::size_t close = MatchingSpanClose(in, lowerIn, openEnd + 1, InCapitals(in, s));
    const std::size_t closeEnd = close == npos ? npos : in.find('>', close);
    const std::size_t contentEnd = closeEnd == npos ? in.size() : close;
    std::string content(in.substr(openEnd + 1, contentEnd - openEnd - 1));

    const auto links = doc.EditableLinkHTML(id);
    const std::string linkText = links.empty() ? "" : EncodeSpecialChars(links.back());
    if (!linkText.empty()) {
      const std::string lower = AsciiLower(content);
      const std::size_t a = lower.find("<a");
      const std::size_t gt = a == npos ? npos : TagEnd(content, a);
      const std::size_t endA = gt == npos ? npos : lower.find("</a", gt + 1);
      if (endA != npos) content = content.substr(0, gt + 1) + linkText + content.substr(endA);
    }
    out.append(in, cursor, s - cursor);
    out += content;
    cursor = closeEnd == npos ? in.size() : closeEnd + 1;
    p = in.find(kAnchorId, cursor);
  }
  out.append(in.substr(std::min(cursor, in.size())));
  return out;
}

std::string RestoreEditSpans(std::string_view in, const SpanSource& doc) {
  const std::string lowerIn = AsciiLower(in);
  std::string out;
  out.reserve(in.size());
  std::size_t cursor = 0;
  for (std::size_t p = in.find(kEditId); p != npos;) {
    const std::size_t s = in.rfind('<', p);
    const std::string id = IdAt(in, p, kEditId);
    const std::size_t openEnd = in.find('>', p);
    const std::size_t close =
        openEnd == npos ? npos : MatchingSpanClose(in, lowerIn, openEnd + 1, InCapitals(in, s));
    const std::size_t closeEnd = close == npos ? npos : in.find('>', close);
    std::optional<std::string> inner;
    if (s != npos && s >= cursor && closeEnd != npos && id.size() > kEditId.size())
      inner = doc.InnerHTML(id);
    if (!inner) {
      p = in.find(kEditId, p + 1);
      continue;
    }
    std::string text = EncodeSpecialChars(*inner);
    // An emptied span keeps a place that stays editable the next time the page is prepared.
    if (text.find_first_not_of(' ') == std::string::npos) text = "&nbsp;<!--DeletedText-->";
    out.append(in, cursor, s - cursor);
    out += text;
    cursor = closeEnd + 1;
    p = in.find(kEditId, cursor);
  }
  out.append(in.substr(std::min(cursor, in.size())));
  return out;
}

std::string RemoveComments(std::string_view html, std::string_view lowerPrefix) {
  const std::string lower = AsciiLower(html);
  std::string out;
  out.reserve(html.size());
  std::size_t cursor = 0;
  for (std::size_t hit = lower.find(lowerPrefix); hit != npos; hit = lower.find(lowerPrefix, cursor)) {
    const std::size_t end = lower.find("-->", hit + lowerPrefix.size());
    if (end == npos) break;  // unterminated: leave the rest of the page alone
    out.append(html, cursor, hit - cursor);
    cursor = end + 3;
  }
  out.append(html.substr(cursor));
  return out;
}

// Removes every opening tag starting with lowerPrefix together with its own closing tag.
std::string RemoveSpanTags(std::string_view html, std::string_view lowerPrefix) {
  const std::string lower = AsciiLower(html);
  std::vector<std::pair<std::size_t, std::size_t>> cuts;  // [from, to)
  for (std::size_t p = lower.find(lowerPrefix); p != npos;) {
    const std::size_t end = lower.find('>', p);
    if (end == npos) {
      cuts.emplace_back(p, lower.size());
      break;
    }
    cuts.emplace_back(p, end + 1);
    const std::size_t c = MatchingSpanClose(html, lower, end + 1, InCapitals(html, p));
    if (c != npos) {
      const std::size_t gt = lower.find('>', c);
      cuts.emplace_back(c, gt == npos ? lower.size() : gt + 1);
    }
    p = lower.find(lowerPrefix, end + 1);
  }
  std::sort(cuts.begin(), cuts.end());
  std::string out;
  out.reserve(html.size());
  std::size_t cursor = 0;
  for (const auto& [from, to] : cuts) {
    if (from > cursor) out.append(html, cursor, from - cursor);
    cursor = std::max(cursor, to);
  }
  out.append(html.substr(std::min(cursor, html.size())));
  return out;
}

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

std::string RestoreHTML(std::string_view editHTML, const SpanSource& document) {
  return StripUnsafeChars(RestoreEditSpans(RestoreLinks(editHTML, document), document));
}

std::string StripMarkers(std::string_view html) {
  std::string out = RemoveComments(html, "<!--fullpath");
  out = RemoveComments(out, "<!--origurl");
  out = RemoveSpanTags(out, "<span id=\"zzzedit");
  return RemoveSpanTags(out, "<span id=\"zzzanchor");
}

}  // namespace pq
