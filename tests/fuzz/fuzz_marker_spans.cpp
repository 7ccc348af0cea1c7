// Marker spans of any page: removing the markers gives the page back, the layout describes the
// edit HTML exactly, and every anchor span holds exactly one link.
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "pageprep/restore_html.h"
#include "text/text_util.h"

namespace {

using namespace pq::fuzz;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// A start or end tag of a link at i, as the HTML tokenizer reads one: "<a" or "</a" followed
// by white space, "/" or ">".
bool LinkTagAt(std::string_view s, std::size_t i, bool endTag) {
  std::size_t p = i + (endTag ? 2 : 1);
  if (s[i] != '<' || (endTag && (i + 1 >= s.size() || s[i + 1] != '/'))) return false;
  if (p + 1 >= s.size() || (s[p] != 'a' && s[p] != 'A')) return false;
  return IsBlank(s[p + 1]) || s[p + 1] == '/' || s[p + 1] == '>';
}

// The end of the tag that starts at i (after its ">"), as the tokenizer's tag name and
// attribute states read it: a quoted value is read whole, but only after an attribute's name
// and its "=" (an "=" or a quote that starts a name is part of the name); an unterminated tag
// runs to the end of s.
std::size_t TagEnd(std::string_view s, std::size_t i) {
  enum class State { Name, BeforeAttr, AttrName, AfterAttrName, BeforeValue, Unquoted };
  State state = State::Name;
  for (std::size_t p = i + (i + 1 < s.size() && s[i + 1] == '/' ? 2 : 1); p < s.size(); ++p) {
    const char c = s[p];
    if (c == '>' && state != State::Unquoted) return p + 1;
    switch (state) {
      case State::Name:
        if (IsBlank(c) || c == '/') state = State::BeforeAttr;
        break;
      case State::BeforeAttr:
        if (!IsBlank(c) && c != '/') state = State::AttrName;
        break;
      case State::AttrName:
        if (IsBlank(c)) state = State::AfterAttrName;
        else if (c == '/') state = State::BeforeAttr;
        else if (c == '=') state = State::BeforeValue;
        break;
      case State::AfterAttrName:
        if (c == '/') state = State::BeforeAttr;
        else if (c == '=') state = State::BeforeValue;
        else if (!IsBlank(c)) state = State::AttrName;
        break;
      case State::BeforeValue:
        if (c == '"' || c == '\'') {
          const std::size_t close = s.find(c, p + 1);
          if (close == std::string_view::npos) return s.size();
          p = close;
          state = State::BeforeAttr;  // (a character right after the quote starts a name)
        } else if (!IsBlank(c)) {
          state = State::Unquoted;
        }
        break;
      case State::Unquoted:
        if (c == '>') return p + 1;
        if (IsBlank(c)) state = State::BeforeAttr;
        break;
    }
  }
  return s.size();
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Link tags in s, read as the tokenizer reads them: outside comments and other tags. With
// `pageEnd`, s ends the page, and a tag that reaches its last character does not count: the
// scan never looks at the page's last character.
int CountLinkTags(std::string_view s, bool endTag, bool pageEnd = false) {
  int n = 0;
  for (std::size_t i = 0; i < s.size();) {
    if (s.compare(i, 4, "<!--") == 0) {
      const std::size_t close = s.find("-->", i + 4);
      if (close == std::string_view::npos) break;
      i = close + 3;
      continue;
    }
    if (s[i] != '<' || i + 1 >= s.size()) {
      ++i;
      continue;
    }
    const char next = s[i + 1];
    const bool closing = next == '/' && i + 2 < s.size();
    if (next == '!' || next == '?' || (closing && !IsLetter(s[i + 2]))) {
      // A bogus comment or a declaration, to the next ">".
      const std::size_t close = s.find('>', i + 2);
      if (close == std::string_view::npos) break;
      i = close + 1;
      continue;
    }
    if (!IsLetter(next) && !closing) {
      ++i;  // a "<" that is text
      continue;
    }
    const std::size_t end = TagEnd(s, i);
    if (LinkTagAt(s, i, endTag) && !(pageEnd && i > 0 && end + 1 >= s.size())) ++n;
    i = end;
  }
  return n;
}

void CheckLayout(const pq::MarkedHTML& marked, std::string_view page) {
  std::size_t floor = 0, sourceFloor = 0;
  for (const auto& s : marked.layout.spans) {
    Require(floor <= s.begin && s.begin < s.contentBegin && s.contentBegin <= s.contentEnd &&
                s.contentEnd <= s.end && s.end <= marked.html.size(),
            "span places ascend inside the edit HTML");
    Require(sourceFloor <= s.sourceBegin && s.sourceBegin <= s.sourceEnd && s.sourceEnd <= page.size(),
            "span source ranges ascend inside the page");
    Require(pq::StartsWithNoCase(marked.html.substr(s.begin), "<span id=\"" + pq::AsciiLower(s.Id()) + "\">"),
            "a span place starts with its own tag", marked.html.substr(s.begin, 40));
    if (s.kind == pq::SpanKind::Anchor) {
      const std::string_view link = page.substr(s.sourceBegin, s.sourceEnd - s.sourceBegin);
      Require(!link.empty() && LinkTagAt(link, 0, false), "an anchor span starts with a link", link);
      const bool pageEnd = s.sourceEnd == page.size();
      Require(CountLinkTags(link, false, pageEnd) == 1, "an anchor span holds exactly one link", link);
      Require(CountLinkTags(link, true) <= 1, "an anchor span holds at most one link end tag", link);
      Require(s.contentBegin <= s.textBegin && s.textBegin <= s.textEnd && s.textEnd <= s.contentEnd,
              "a link's text lies inside its span");
      const std::string_view text = std::string_view(marked.html).substr(s.textBegin, s.textEnd - s.textBegin);
      Require(CountLinkTags(text, false) == 0 && CountLinkTags(text, true) == 0,
              "a link's text range holds no link tags", text);
    }
    floor = s.end;
    sourceFloor = s.sourceEnd;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  const pq::MarkedHTML marked = pq::MakeEditHTML(page, "http://127.0.0.1/a.htm", "http://127.0.0.1/a.htm");
  CheckLayout(marked, page);

  // The spans' contents as the page's source had them: the markers come off to the page.
  const auto fromSource = pq::SpliceSpans(marked.html, marked.layout, [&](const pq::SpanPlace& s) {
    return std::optional<std::string>(page.substr(s.sourceBegin, s.sourceEnd - s.sourceBegin));
  });
  RequireEqual(pq::StripMarkers(fromSource.html, fromSource.layout), page,
               "StripMarkers(layout) gives the page back");

  // Read from the text alone (an edit copy file), for a page without marker look-alikes (which
  // can fool that reading, as documented).
  const std::string lower = pq::AsciiLower(page);
  bool lookalike = false;
  for (std::string_view s : {"zzz", "<span", "</span", "origurl", "fullpath"})
    lookalike = lookalike || lower.find(s) != std::string::npos;
  if (!lookalike) {
    // Each span keeps its tags around the source's text, so the text holds the spans to find.
    const pq::MarkedHTML spans = pq::AddSpansWithLayout(page);
    const auto sourceSpans = pq::SpliceSpans(spans.html, spans.layout, [&](const pq::SpanPlace& s) {
      return std::optional<std::string>(spans.html.substr(s.begin, s.contentBegin - s.begin) +
                                        page.substr(s.sourceBegin, s.sourceEnd - s.sourceBegin) +
                                        spans.html.substr(s.contentEnd, s.end - s.contentEnd));
    });
    RequireEqual(pq::StripMarkers(sourceSpans.html), page, "StripMarkers(AddSpans(x)) == x");
    RequireEqual(pq::AddSpans(page), spans.html, "AddSpans and AddSpansWithLayout agree");
  }
  return 0;
}
