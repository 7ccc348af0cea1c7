#include "engine/address_problem.h"

#include <gtest/gtest.h>

#include "engine/error_page.h"

namespace {

using pq::engine::AddressProblem;
using pq::engine::IsMalformedWebAddress;

TEST(AddressProblemTest, SaysWhyTheEngineWillNotLoadAnAddress) {
  const struct {
    const char* url;
    const char* problem;  // a part of the reason; "" for none
    bool malformed;
  } cases[] = {
      {"http://127.0.0.1:8080/index.htm", "", false},
      {"https://example.com/", "", false},
      {"http://example.com", "", false},
      {"http://user:pw@example.com:80/x", "", false},
      {"http://[::1]:8080/", "", false},
      {"http://[::1]/", "", false},
      {"http://  127.0.0.1:8080/", "blank in its host name (\"  127.0.0.1\")", true},
      {"http://bad host/x.htm", "blank in its host name (\"bad host\")", true},
      {"http://tab\there/", "blank in its host name", true},
      {"http:///path", "no host name", true},
      {"http://127.0.0.1:9/", "does not connect to port 9,", false},
      {"http://127.0.0.1:25", "does not connect to port 25,", false},
      {"HTTPS://host:6667/#x", "port 6667,", false},
      {"http://host:10080?q", "port 10080,", false},
      {"http://host:8x/", "not a number", true},
      {"http://host:99999/", "out of range", false},
      {"http://host:123456789/", "out of range", false},
      {"file:///tmp/page.htm", "", false},
      {"about:blank", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const std::string problem = AddressProblem(c.url);
    if (*c.problem == '\0') {
      EXPECT_EQ(problem, "");
    } else {
      EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
    EXPECT_EQ(IsMalformedWebAddress(c.url), c.malformed);
  }
}

TEST(AddressProblemTest, KnowsTheRefusedPorts) {
  for (int port : {1, 9, 21, 22, 25, 110, 143, 587, 6000}) EXPECT_TRUE(pq::engine::IsRefusedPort(port)) << port;
  for (int port : {80, 443, 8000, 8080, 8443, 3000, 5000}) EXPECT_FALSE(pq::engine::IsRefusedPort(port)) << port;
}

TEST(ErrorPageTest, AdvisesWhatFitsTheFailure) {
  using pq::engine::ErrorAdvice;
  using pq::engine::ErrorPageHTML;
  const std::string network = ErrorPageHTML("http://127.0.0.1:1/", "Could not connect");
  EXPECT_NE(network.find("connected to the network"), std::string::npos);

  const std::string address = ErrorPageHTML("http://127.0.0.1:25/", "port 25", ErrorAdvice::CheckAddress);
  EXPECT_NE(address.find("Check the address."), std::string::npos);
  EXPECT_EQ(address.find("network"), std::string::npos);

  const std::string stopped = ErrorPageHTML("http://h/a\"b.htm", "The web engine stopped.", ErrorAdvice::Reload);
  EXPECT_NE(stopped.find("The page cannot be displayed"), std::string::npos);
  EXPECT_NE(stopped.find("<a id=\"reload\" href=\"http://h/a&quot;b.htm\">Reload the page</a>"), std::string::npos);
  EXPECT_EQ(stopped.find("network"), std::string::npos);
  // Only a page's own address may stand in the link.
  const std::string script = ErrorPageHTML("javascript:alert(1)", "x", ErrorAdvice::Reload);
  EXPECT_EQ(script.find("href"), std::string::npos);
}

}  // namespace

TEST(AddressProblemTest, OnlyWebPagesAndThePagesOfTheProgramOpen) {
  for (const char* url : {"http://127.0.0.1/", "HTTPS://a.example/", "file:///tmp/a.htm", "about:blank"})
    EXPECT_TRUE(pq::engine::IsOpenableAddress(url)) << url;
  for (const char* url : {"mailto:info@example.com", "javascript:alert(1)", "ftp://127.0.0.1/",
                          "data:text/html,<p>x", "webkit://gpu"})
    EXPECT_FALSE(pq::engine::IsOpenableAddress(url)) << url;
}
