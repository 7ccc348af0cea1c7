// Vietnamese (windows-1258) and Hebrew (windows-1255) pages through the program's publishing
// path, as `pqtool publishable` runs it: glibc would read a letter and its combining mark as
// one character, lose the byte offsets, and so rewrite every such byte of the page.
#include <gtest/gtest.h>

#include "pageprep/markers.h"
#include "text/page_decoding.h"
#include "publishing/publish_flow.h"
#include "publishing/publishable_page.h"

namespace {

struct Case {
  const char* charset;
  std::string before, span, after;  // the page's bytes: the edited span's text in the middle
  std::string typed;                // UTF-8
  std::string sent;                 // the span's bytes in the publication
};

TEST(ComposingSets, AnEditChangesOnlyItsSpan) {
  const Case cases[] = {
      // Decomposed Vietnamese outside the span (a + combining dot below, ê + dot below) keeps
      // its bytes; typed precomposed letters the set lacks become references.
      {"windows-1258", "<html><head><meta charset=windows-1258></head><body><p>Vi\xEA\xF2t Nam a\xF2</p><p>",
       "C\xE1" "c s\xE3n ph\xE2\xDEm", "</p><p>\xD0i\xEA\xF2n tho\xE3i</p></body></html>",
       "Gi\xC3\xA1 r\xE1\xBA\xBB \xC4\x91\xE1\xBB\x93ng a\xCC\x89",
       "Gi\xE1 r&#7867; \xF0&#7891;ng a\xD2"},
      {"windows-1255", "<html><head><meta charset=windows-1255></head><body><p>\xF9\xD1\xC8\xEC\xE5\xCA\xED</p><p>",
       "\xE1\xF8\xE5\xEA", "</p><p>\xFA\xE5\xE3\xE4 \xC8</p></body></html>",
       "\xD7\x97\xD6\xB7\xD7\x92 \xE2\x82\xAA \xEF\xAC\xAA",
       "\xE7\xC7\xE2 \xA4 &#64298;"},
  };
  for (const auto& c : cases) {
    const std::string bytes = c.before + c.span + c.after;
    const pq::DecodedPage page = pq::DecodePage(bytes, "");
    ASSERT_EQ(page.charset, c.charset);
    pq::PublishDocument d;
    d.page.source.bytes = bytes;
    d.page.source.text = page.text;
    d.page.source.charset = page.charset;
    pq::MarkedHTML marked = pq::MakeEditHTML(d.page.source.text, "http://127.0.0.1/p.htm", "http://127.0.0.1/p.htm");
    d.page.edit.html = marked.html;
    d.page.edit.layout = marked.layout;
    d.recorded = pq::SpansAsWritten(d.page.edit.html, d.page.edit.layout);
    d.live = *d.recorded;

    std::string error;
    EXPECT_FALSE(pq::PublishedHTML(d, error)) << c.charset << ": untouched, nothing is sent";
    EXPECT_EQ(error, "");

    // The second paragraph's span is the edited one.
    ASSERT_GE(d.page.edit.layout.spans.size(), 2u) << c.charset;
    d.live.elements[d.page.edit.layout.spans[1].Id()].innerHTML = c.typed;
    const auto html = pq::PublishedHTML(d, error);
    ASSERT_TRUE(html) << c.charset << ": " << error;
    EXPECT_EQ(*html, c.before + c.sent + c.after) << c.charset;
  }
}

}  // namespace
