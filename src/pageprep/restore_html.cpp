#include "pageprep/restore_html.h"

#include <algorithm>
#include <set>
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

bool Present(const SpanSource& doc, const std::string& id, std::string_view prefix) {
  return id.size() > prefix.size() && doc.InnerHTML(id).has_value();
}

std::string RestoreLinks(std::string_view in, const SpanSource& doc) {
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
    const std::size_t close = in.find("</SPAN", openEnd);
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
  std::string out;
  out.reserve(in.size());
  std::size_t cursor = 0;
  for (std::size_t p = in.find(kEditId); p != npos;) {
    const std::size_t s = in.rfind('<', p);
    const std::string id = IdAt(in, p, kEditId);
    const std::size_t close = in.find("</SPAN", p);
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

// Removes every opening tag starting with lowerPrefix and, for each, the first "</span>"
// after it that no earlier opening tag has taken.
std::string RemoveSpanTags(std::string_view html, std::string_view lowerPrefix) {
  const std::string lower = AsciiLower(html);
  std::set<std::size_t> closers;
  for (std::size_t c = lower.find("</span>"); c != npos; c = lower.find("</span>", c + 1))
    closers.insert(c);
  std::vector<std::pair<std::size_t, std::size_t>> cuts;  // [from, to)
  for (std::size_t p = lower.find(lowerPrefix); p != npos;) {
    const std::size_t end = lower.find('>', p);
    if (end == npos) {
      cuts.emplace_back(p, lower.size());
      break;
    }
    cuts.emplace_back(p, end + 1);
    if (auto c = closers.lower_bound(end + 1); c != closers.end()) {
      cuts.emplace_back(*c, *c + 7);
      closers.erase(c);
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
