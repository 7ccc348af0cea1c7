// The one-pass AddSpans against the literal, insertion-by-insertion scan.
#include <gtest/gtest.h>

#include <random>

#include "add_spans_pages.h"
#include "add_spans_reference.h"
#include "pageprep/add_spans.h"

namespace {

// Shows control and non-ASCII bytes so that a failing page can be copied into a test.
std::string Printable(std::string_view s) {
  std::string out;
  for (unsigned char c : s) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c == '"' || c == '\\') (out += '\\') += static_cast<char>(c);
    else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X\"\"", c);
      out += buf;
    } else out += static_cast<char>(c);
  }
  return out;
}

void ExpectSame(std::string_view page, int& failures) {
  const std::string fast = pq::AddSpans(page);
  const std::string reference = pqtest::ReferenceAddSpans(page);
  if (fast == reference) return;
  if (++failures <= 5)
    ADD_FAILURE() << "page:      \"" << Printable(page) << "\"\nAddSpans:  \"" << Printable(fast)
                  << "\"\nreference: \"" << Printable(reference) << "\"";
}

TEST(AddSpansDifferential, GeneratedPages) {
  std::mt19937 rng(20260412);
  int failures = 0;
  for (int k = 0; k < 20000; ++k) ExpectSame(pqtest::RandomPage(rng), failures);
  EXPECT_EQ(failures, 0);
}

TEST(AddSpansDifferential, GeneratedByteStrings) {
  std::mt19937 rng(7);
  int failures = 0;
  for (int k = 0; k < 20000; ++k) ExpectSame(pqtest::RandomBytes(rng), failures);
  EXPECT_EQ(failures, 0);
}

TEST(AddSpansDifferential, FixturePages) {
  const auto pages = pqtest::FixturePages();
  ASSERT_FALSE(pages.empty());
  for (const auto& [name, page] : pages) {
    int failures = 0;
    ExpectSame(page, failures);
    EXPECT_EQ(failures, 0) << name;
    // Every prefix too: each way a page can be cut off.
    for (std::size_t cut = 0; cut < page.size(); cut += 7) ExpectSame(page.substr(0, cut), failures);
    EXPECT_EQ(failures, 0) << name << " (prefixes)";
  }
}

}  // namespace
