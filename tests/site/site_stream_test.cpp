// A post read as it arrives: the request head as the gate sees it, the form decoded in pieces
// of any size, and the pass key and hash checked before the page is read.
#include <gtest/gtest.h>

#include <random>

#include "site-script/request_head.h"
#include "site-script/streamed_post.h"
#include "site-script/url_decoding.h"

namespace {

using namespace pq::site;

TEST(RequestHead, AWorkerGetsARequestOnlyOnceItsHeadAndBodyStartHaveCome) {
  struct Case {
    const char* what;
    std::string bytes;
    bool ready;
  };
  const std::string post = "POST /pagequill/ HTTP/1.1\r\nHost: x\r\n";
  const Case cases[] = {
      {"head cut short", "GET / HTTP/1.1\r\nHost: x\r\n", false},
      {"head without a body", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", true},
      {"head with bare line feeds", "GET / HTTP/1.1\nHost: x\n\n", true},
      {"small body half there", post + "Content-Length: 10\r\n\r\n12345", false},
      {"small body whole", post + "Content-Length: 10\r\n\r\n1234567890", true},
      {"name in any case, blanks around", post + "content-LENGTH:   3 \r\n\r\nabc", true},
      {"large body: its first bytes suffice", post + "Content-Length: 99999999\r\n\r\n" +
                                                  std::string(64, 'a'), true},
      {"large body: not enough yet", post + "Content-Length: 99999999\r\n\r\n" +
                                         std::string(63, 'a'), false},
      {"length beyond any number", post + "Content-Length: 99999999999999999999999\r\n\r\n" +
                                       std::string(64, 'a'), true},
      {"length not a number: the library refuses it", post + "Content-Length: x\r\n\r\n", true},
      {"chunked, last chunk come", post + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
       true},
      {"chunked, empty", post + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n", true},
      {"chunked, more to come", post + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n", false},
  };
  for (const auto& tc : cases) EXPECT_EQ(RequestReady(tc.bytes, 64), tc.ready) << tc.what;

  const RequestHead waits = InspectRequestHead(post + "Expect: 100-continue\r\nContent-Length: 5\r\n\r\n", 64);
  EXPECT_TRUE(waits.expectsContinue);
  EXPECT_EQ(waits.bodyWanted, 5u);
  EXPECT_EQ(waits.size, post.size() + 43);
}

// Decoding in pieces gives what decoding the whole body gives, wherever the pieces are cut.
TEST(UrlEncodedStream, AnyCutGivesTheFieldsOfTheWholeBody) {
  std::mt19937 random(19);
  const std::string alphabet = "ab=&%%2041F+z";
  for (int round = 0; round < 3000; ++round) {
    std::string body = "passkey=1&hash=2&";
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) body += alphabet[random() % alphabet.size()];
    const auto whole = ParseUrlEncodedForm(body);

    int checks = 0;
    StreamedPost post({}, [&](const std::string& passkey, const std::string& hash) {
      ++checks;
      EXPECT_EQ(passkey, "1");
      EXPECT_EQ(hash, "2");
      return std::string();
    });
    UrlEncodedStream form(post);
    bool ok = true;
    for (std::size_t at = 0; ok && at < body.size();) {
      const std::size_t n = 1 + random() % 5;
      ok = form.Feed(std::string_view(body).substr(at, n));
      at += n;
    }
    ok = ok && form.End() && post.Finish();
    ASSERT_EQ(ok, whole.has_value()) << body;
    if (!ok) {
      EXPECT_TRUE(form.malformed()) << body;
      continue;
    }
    EXPECT_EQ(checks, 1) << body;
    ASSERT_EQ(post.fields().size(), whole->size()) << body;
    for (std::size_t i = 0; i < whole->size(); ++i) {
      EXPECT_EQ(post.fields()[i].name, (*whole)[i].name) << body;
      EXPECT_EQ(post.fields()[i].value, (*whole)[i].value) << body;
    }
  }
}

TEST(StreamedPost, ARefusedPostStopsBeforeItsPageAndKeepsNothing) {
  int checks = 0;
  StreamedPost post({}, [&](const std::string&, const std::string&) {
    ++checks;
    return std::string("@@Pass key not valid@@");
  });
  EXPECT_TRUE(post.BeginField("passkey") && post.Append("12"));
  EXPECT_TRUE(post.BeginField("hash") && post.Append("ab") && post.Append("cd"));
  EXPECT_EQ(checks, 0) << "the hash may still be arriving";
  EXPECT_FALSE(post.BeginField("file")) << "checked as soon as the next field begins";
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(post.refusal(), "@@Pass key not valid@@");
  EXPECT_FALSE(post.Append("page.htm"));
  EXPECT_TRUE(post.fields().empty());
  EXPECT_FALSE(post.Finish());
  EXPECT_EQ(checks, 1);
}

TEST(StreamedPost, APageBeforeThePassKeyIsHeldOnlyUpToTheLimit) {
  StreamedPost post({1000, 16}, [](const std::string&, const std::string&) { return std::string(); });
  EXPECT_TRUE(post.BeginField("html"));
  EXPECT_TRUE(post.Append(std::string(900, 'a')));
  EXPECT_FALSE(post.Append(std::string(200, 'a')));
  EXPECT_NE(post.refusal().find("pass key and hash must come first"), std::string::npos);

  StreamedPost small({1000, 16}, [](const std::string&, const std::string&) { return std::string(); });
  for (const char* name : {"file", "html", "passkey", "hash"}) {
    ASSERT_TRUE(small.BeginField(name) && small.Append("x"));
  }
  EXPECT_TRUE(small.Finish()) << "a small post in another order still goes through";

  StreamedPost none({}, [](const std::string&, const std::string&) { return std::string(); });
  EXPECT_TRUE(none.BeginField("file") && none.Append("x"));
  EXPECT_FALSE(none.Finish());
  EXPECT_EQ(none.refusal(), "@@Incomplete request@@");
}

}  // namespace
