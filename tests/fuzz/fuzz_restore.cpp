// Marker removal and restore with any live span contents: what is published is valid UTF-8
// without unsafe characters, holds none of the program's markers, and the restore that knows
// where its markers are agrees with the one that reads them from the text.
#include <string>

#include "fuzz_support.h"
#include "pageprep/char_filters.h"
#include "pageprep/markers.h"
#include "pageprep/restore_html.h"
#include "text/tag_states.h"
#include "text/text_util.h"

namespace {

using namespace pq::fuzz;

bool HasLookalike(std::string_view text) {
  const std::string lower = pq::AsciiLower(text);
  for (std::string_view s : {"zzz", "<span", "</span", "origurl", "fullpath", "deletedtext"})
    if (lower.find(s) != std::string::npos) return true;
  return false;
}

// Whether some tag runs to the end of the page as the tokenizer reads tags: no ">" after it, or
// a quoted value never closed. Text of raw-text elements is read as tags too, which can only
// say "yes" more often.
bool EndsInsideTag(std::string_view t) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '<' || i + 1 >= t.size()) continue;
    const char next = t[i + 1];
    const bool letter = (next | 0x20) >= 'a' && (next | 0x20) <= 'z';
    const bool endTag = next == '/' && i + 2 < t.size() && ((t[i + 2] | 0x20) >= 'a' && (t[i + 2] | 0x20) <= 'z');
    if (pq::IsCommentLikeTag(t, i)) {
      const std::size_t gt = t.find('>', i);
      if (gt == std::string_view::npos) return true;
      i = gt;
      continue;
    }
    if (!letter && !endTag) continue;
    pq::TagStates states;
    char quote = 0;
    std::size_t k = i + (endTag ? 2 : 1);
    for (; k < t.size(); ++k) {
      const char c = t[k];
      if (quote) {
        if (c == quote) quote = 0, states.QuotedValueEnded();
      } else if (c == '>') {
        break;
      } else if ((c == '"' || c == '\'') && states.QuoteOpensValue()) {
        quote = c;
      } else {
        states.Step(c);
      }
    }
    if (k >= t.size()) return true;
    i = k;
  }
  return false;
}

// Whether a control character stands between a "<" and the next ">".
bool ControlInsideTag(std::string_view t) {
  bool inTag = false;
  for (const char ch : t) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '<') inTag = true;
    else if (c == '>') inTag = false;
    else if (inTag && ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F)) return true;
  }
  return false;
}

bool Safe(std::string_view s) {
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const std::string page(in.Until('\0'));
  const pq::MarkedHTML marked = pq::MakeEditHTML(page, "http://127.0.0.1/a.htm", "http://127.0.0.1/a.htm");

  // Each span: absent from the document, as written, or with new contents.
  pq::SpanSnapshot doc;
  std::string given = page;
  for (const auto& s : marked.layout.spans) {
    const int choice = in.Below(3);
    if (choice == 0) continue;
    auto& e = doc.elements[s.Id()];
    if (choice == 1) {
      e.innerHTML = marked.html.substr(s.contentBegin, s.contentEnd - s.contentBegin);
      e.editableLinks = {marked.html.substr(s.textBegin, s.textEnd - s.textBegin)};
    } else {
      e.innerHTML = std::string(in.Until('\0'));
      e.editableLinks = {e.innerHTML};
      given += e.innerHTML;
    }
  }

  const pq::RestoredHTML restored = pq::RestoreHTML(marked.html, marked.layout, doc);
  const std::string published = pq::StripMarkers(restored.html, restored.layout);
  Require(ValidUtf8(published), "what is published is valid UTF-8", published);
  Require(Safe(published), "what is published holds no unsafe characters", published);
  RequireEqual(pq::StripUnsafeChars(published), published, "the filter leaves filtered text alone");
  RequireEqual(pq::PublishableHTML(marked.html, marked.layout, doc), published,
               "PublishableHTML is StripMarkers(RestoreHTML)");

  const std::string givenLower = pq::AsciiLower(pq::StripUnsafeChars(given));
  const std::string lower = pq::AsciiLower(published);
  for (std::string_view marker : {"<!--origurl=", "<!--fullpath=", "<span id=\"zzz"})
    if (givenLower.find(marker) == std::string::npos)
      Require(lower.find(marker) == std::string::npos, "no marker of the program is published",
              published);

  // (An "<html>" written with the markers is not found in the text: compare pages that had one.)
  bool wroteHtmlTag = false;
  for (const auto& t : marked.layout.inserted)
    wroteHtmlTag = wroteHtmlTag || pq::StartsWithNoCase(marked.html.substr(t.begin), "<html");
  // (Nor does the reading from the text take a tag cut off by the end of the page for one,
  // by a missing ">" or by a quoted value never closed.)
  const bool endsInTag = EndsInsideTag(page);
  // (Nor can it read a page whose own tags the markup filter changed: "</a\f>" is an end tag of
  // the link, "</a\uFFFD>" is not.)
  const bool filterChangesTags = pq::StripUnsafeCharsInMarkup(page) != page && ControlInsideTag(page);
  // (The filter can make a look-alike by removing a control character: "<!--f\x01ullpath".)
  const bool lookalike = HasLookalike(given) || HasLookalike(pq::StripUnsafeChars(given)) ||
                         HasLookalike(pq::StripUnsafeCharsInMarkup(given));
  if (!lookalike && !wroteHtmlTag && !endsInTag && !filterChangesTags) {
    RequireEqual(pq::StripMarkers(pq::RestoreHTML(marked.html, doc)), published,
                 "the restore from the text agrees with the restore by the layout");
  }
  return 0;
}
