#include "pageprep/site_origin.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using pq::Origin;

TEST(SiteOrigin, SchemeHostAndPortOfAnAddress) {
  const struct {
    const char* url;
    std::optional<Origin> origin;
    const char* text;  // OriginText
  } cases[] = {
      {"http://Example.COM/a.htm", Origin{"http", "example.com", 80}, "http://example.com"},
      {"http://example.com:80/", Origin{"http", "example.com", 80}, "http://example.com"},
      {"http://example.com:8080", Origin{"http", "example.com", 8080}, "http://example.com:8080"},
      {"https://example.com/", Origin{"https", "example.com", 443}, "https://example.com"},
      {"HTTPS://Example.com:443/x", Origin{"https", "example.com", 443}, "https://example.com"},
      {"https://example.com:8443/x?y#z", Origin{"https", "example.com", 8443}, "https://example.com:8443"},
      {"https://example.com:80/", Origin{"https", "example.com", 80}, "https://example.com:80"},
      {"http://user:pw@host:81/", Origin{"http", "host", 81}, "http://host:81"},
      {"http://host?q=a:1", Origin{"http", "host", 80}, "http://host"},
      {"https://[::1]:8443/", Origin{"https", "[::1]", 8443}, "https://[::1]:8443"},
      {"http://[::1]/", Origin{"http", "[::1]", 80}, "http://[::1]"},
      {"http://host:/", Origin{"http", "host", 80}, "http://host"},
      {"http://host:0/", std::nullopt, ""},
      {"http://host:65536/", std::nullopt, ""},
      {"http://host:8x/", std::nullopt, ""},
      {"http://[::1/", std::nullopt, ""},
      {"http:///a.htm", std::nullopt, ""},
      {"ftp://host/", std::nullopt, ""},
      {"file:///tmp/a.htm", std::nullopt, ""},
      {"", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    const auto origin = pq::OriginOf(c.url);
    EXPECT_EQ(origin, c.origin) << c.url;
    if (origin) {
      EXPECT_EQ(pq::OriginText(*origin), c.text) << c.url;
    }
  }
}

TEST(SiteOrigin, SameOriginNeedsSchemeHostAndPortAlike) {
  const struct {
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"http://h/a.htm", "http://H:80/pagequill/", true},
      {"https://h/a.htm", "https://h:443/b", true},
      {"https://h/a.htm", "http://h/a.htm", false},     // https to http
      {"http://h/a.htm", "https://h/a.htm", false},
      {"http://h:8080/", "http://h:8081/", false},
      {"http://h/", "http://h.evil/", false},
      {"http://h/", "http://evil@h/", true},  // credentials name no other site
      {"http://h/", "/relative", false},
      {"file:///a", "file:///a", false},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::SameOrigin(c.a, c.b), c.same) << c.a << " " << c.b;
}

TEST(SiteOrigin, TheRefusalNamesBothSites) {
  const std::string text = pq::OtherSiteRefusal("https://shop.test/pagequill/", "http://evil.test:8080/x");
  EXPECT_NE(text.find("http://evil.test:8080"), std::string::npos) << text;
  EXPECT_NE(text.find("https://shop.test"), std::string::npos) << text;
  EXPECT_EQ(text.find("/x"), std::string::npos) << text;  // only the site, not the path
}

}  // namespace
