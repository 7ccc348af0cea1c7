#include "shell/typed_address.h"

#include <gtest/gtest.h>

namespace {

TEST(TypedAddressTest, BlanksGoFirstThenABareHostBecomesAWebAddress) {
  const struct {
    const char* typed;
    const char* address;
  } cases[] = {
      {"http://127.0.0.1:8080/index.htm", "http://127.0.0.1:8080/index.htm"},
      {"  127.0.0.1:8080/index.htm", "http://127.0.0.1:8080/index.htm"},
      {"127.0.0.1:8080/  ", "http://127.0.0.1:8080/"},
      {"\t http://example.com/a b.htm \r\n", "http://example.com/a b.htm"},  // blanks inside stay
      {"\xC2\xA0" "example.com\xE3\x80\x80", "http://example.com"},
      {"\xE2\x80\xAF" "https://example.com/", "https://example.com/"},
      {"about:blank", "about:blank"},
      {"file:///tmp/a.htm", "file:///tmp/a.htm"},
      {"   ", ""},
      {"", ""},
      {"\xC2\xA0", ""},
      // Addresses of other kinds stay as typed, for the browse pane to refuse with the reason.
      {"mailto:info@example.com", "mailto:info@example.com"},
      {"javascript:alert(1)", "javascript:alert(1)"},
      {"ftp://127.0.0.1/a.htm", "ftp://127.0.0.1/a.htm"},
      // A host with a port is no scheme.
      {"localhost:8080", "http://localhost:8080"},
      {"localhost:8080/a.htm", "http://localhost:8080/a.htm"},
      {"example.com/a:b", "http://example.com/a:b"},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::TypedAddress(c.typed), c.address) << "[" << c.typed << "]";
  // A lone lead byte of a blank is no blank.
  EXPECT_EQ(pq::TrimBlanks("\xC2" "a\xC2"), "\xC2" "a\xC2");
}

}  // namespace
