#include "publishing/revision_requests.h"

#include <gtest/gtest.h>

#include "publishing/md5.h"

namespace {

using pq::RevisionsAnswer;

// A site script of a table: the pass-key reply, and the reply to every post (recorded).
struct FakeSite {
  std::string passKeyReply = "@@41@@";
  pq::PostedReply postReply{true, "@@ok@@", ""};
  std::vector<std::string> urls, bodies;

  pq::RevisionRequests Requests() {
    return pq::RevisionRequests(
        "http://127.0.0.1:8080", "a.htm",
        [this](const std::string& url) {
          urls.push_back(url);
          return pq::FetchedPage(passKeyReply);
        },
        [this](const std::string& url, const pq::FormFields& fields) {
          urls.push_back(url);
          bodies.push_back(fields.Body());
          return postReply;
        });
  }
};

TEST(RevisionRequests, EachPostTakesTheNextPassKeyOfItsOwnIssue) {
  FakeSite site;
  site.postReply.bytes = "@@ok@@r|2026-01-01T00:00:00Z|5@@";
  auto requests = site.Requests();
  const auto listed = requests.List("pw");
  EXPECT_EQ(listed.answer, RevisionsAnswer::Listed);
  ASSERT_EQ(listed.revisions.size(), 1u);
  site.postReply.bytes = "@@Updated@@";
  EXPECT_EQ(requests.Restore("pw", "r").answer, RevisionsAnswer::Listed);
  ASSERT_EQ(site.urls.size(), 4u);
  EXPECT_EQ(site.urls[0].rfind("http://127.0.0.1:8080/pagequill/?type=passkey&now=", 0), 0u);
  EXPECT_EQ(site.urls[1], "http://127.0.0.1:8080/pagequill/");
  EXPECT_EQ(site.bodies[0], "passkey=42&hash=" + pq::MD5Hex("pw42") + "&action=revisions&file=a.htm");
  EXPECT_EQ(site.bodies[1],
            "passkey=42&hash=" + pq::MD5Hex("pw42") + "&action=restore&file=a.htm&revision=r");
}

TEST(RevisionRequests, FailuresBeforeTheReply) {
  const struct {
    const char* passKeyReply;
    pq::PostedReply post;
    RevisionsAnswer answer;
    bool posted;
    const char* words;  // found in what the user is told
  } cases[] = {
      {"", {true, "@@ok@@", ""}, RevisionsAnswer::Refused, false, "did not answer"},
      {"@@32767@@", {true, "@@ok@@", ""}, RevisionsAnswer::Refused, false, "pass key"},
      {"@@1@@", {false, "", ""}, RevisionsAnswer::Unreadable, true, "did not answer"},
      {"@@1@@", {true, "", "The certificate is not trusted."}, RevisionsAnswer::Refused, true,
       "certificate"},
      {"@@1@@", {true, "@@Unknown request@@", ""}, RevisionsAnswer::TooOld, true, "too old"},
      {"@@1@@", {true, "@@Wrong password@@", ""}, RevisionsAnswer::Refused, true, "Wrong password"},
  };
  for (const auto& c : cases) {
    FakeSite site;
    site.passKeyReply = c.passKeyReply;
    site.postReply = c.post;
    auto requests = site.Requests();
    const auto r = requests.Fetch("pw", "r");
    EXPECT_EQ(r.answer, c.answer) << c.passKeyReply << " " << c.post.bytes;
    EXPECT_EQ(site.bodies.size(), c.posted ? 1u : 0u) << c.passKeyReply;
    const std::string told = pq::RevisionsProblemText(r.answer, r.message);
    EXPECT_NE(told.find(c.words), std::string::npos) << told;
  }
}

}  // namespace
