#include "publishing/site_replies.h"

#include <gtest/gtest.h>

namespace {

TEST(SiteReplies, CheckReply) {
  const struct {
    const char* reply;
    bool ready, linkText, email, byDefault;
  } cases[] = {
      {"@@ok@@Y@@N@@Y@@", true, true, false, true},
      {"@@ok@@y@@n@@y", true, true, false, true},
      {"hello@@ok@@Y@@Y@@Y", true, true, true, true},
      {"@@ok@@N@@Y@@N@@", true, false, true, false},
      {"@@OK@@Y@@Y@@Y", false, true, false, true},  // the marker is case-sensitive: defaults
      {"", false, true, false, true},
      {"<html>404 Not Found</html>", false, true, false, true},
      {"@@ok@@Y", true, true, false, false},  // absent flags are not "Y"
      {"@@ok@@ Y @@N@@Y", true, false, false, true},
  };
  for (const auto& c : cases) {
    const auto r = pq::ParseCheckReply(c.reply);
    EXPECT_EQ(r.SiteReady, c.ready) << c.reply;
    EXPECT_EQ(r.LinkTextEditable, c.linkText) << c.reply;
    EXPECT_EQ(r.PasswordEmailAllowed, c.email) << c.reply;
    EXPECT_EQ(r.EditableByDefault, c.byDefault) << c.reply;
  }
}

TEST(SiteReplies, PassKeyReply) {
  const struct {
    const char* reply;
    bool ok;
    int key;
  } cases[] = {
      {"@@17@@", true, 17},     {"@@-5@@", true, -5},          {"<body>@@41@@</body>", true, 41},
      {"x@@ 7 @@", true, 7},    {"@@32767@@", true, 32767},    {"@@-32768@@", true, -32768},
      {"@@32768@@", false, 0},  {"@@abc@@", false, 0},         {"@@17", false, 0},
      {"", false, 0},           {"a@@b@@17@@", false, 0},      {"@@@@", false, 0},
      {"@@1.5@@", false, 0},
  };
  for (const auto& c : cases) {
    const auto r = pq::ParsePassKeyReply(c.reply);
    EXPECT_EQ(r.ok, c.ok) << c.reply;
    if (c.ok) {
      EXPECT_EQ(r.key, c.key) << c.reply;
    }
  }
}

TEST(SiteReplies, PublishReply) {
  const struct {
    const char* reply;
    bool updated;
    const char* message;
  } cases[] = {
      {"<html>@@Updated@@</html>", true, ""},
      {"<p>Sorry@@Wrong password@@</p>", false, "Wrong password"},
      {"@@updated@@", false, "updated"},
      {"<h1>500 Internal Server Error</h1>", false, "Unknown Error"},
      {"", false, "Unknown Error"},
      {"@@@@", false, "Unknown Error"},  // an empty refusal must not read as success
      {"@@File not allowed", false, "File not allowed"},
  };
  for (const auto& c : cases) {
    const auto r = pq::ParsePublishReply(c.reply);
    EXPECT_EQ(r.Updated, c.updated) << c.reply;
    EXPECT_FALSE(r.Conflict) << c.reply;
    EXPECT_EQ(r.Message, c.message) << c.reply;
  }
  // A conflict is not a success, whatever else the reply holds, and keeps the script's words.
  for (const char* reply : {"<p>@@Conflict@@Changed meanwhile@@</p>", "@@Conflict@@Changed meanwhile"}) {
    const auto r = pq::ParsePublishReply(reply);
    EXPECT_TRUE(r.Conflict) << reply;
    EXPECT_FALSE(r.Updated) << reply;
    EXPECT_EQ(r.Message, "Changed meanwhile") << reply;
  }
  EXPECT_EQ(pq::ParsePublishReply("@@Conflict@@").Message, "The page was changed on the website.");
}

TEST(SiteReplies, ReplyFieldsSplitsEveryField) {
  EXPECT_EQ(pq::ReplyFields("a@@b@@"), (std::vector<std::string>{"a", "b", ""}));
}

TEST(SiteReplies, ReplyFieldTakesOneFieldWithoutSplittingTheRest) {
  EXPECT_EQ(pq::ReplyField("a@@b@@", 0), "a");
  EXPECT_EQ(pq::ReplyField("a@@b@@", 1), "b");
  EXPECT_EQ(pq::ReplyField("a@@b@@", 2), "");
  EXPECT_EQ(pq::ReplyField("a@@b@@", 3), std::nullopt);
  EXPECT_EQ(pq::ReplyField("@@@", 1), "@");
  EXPECT_EQ(pq::ReplyField("", 0), "");
}

TEST(SiteReplies, AHugeReplyOfAtSignsIsParsedInPlace) {
  // 64 MB of "@": 32 million empty fields, none of which is built (memory: see the report).
  const std::string reply(64u << 20, '@');
  const auto check = pq::ParseCheckReply(reply);
  EXPECT_FALSE(check.SiteReady);
  EXPECT_FALSE(pq::ParsePassKeyReply(reply).ok);
  const auto publish = pq::ParsePublishReply(reply);
  EXPECT_FALSE(publish.Updated);
  EXPECT_EQ(publish.Message, "Unknown Error");
  EXPECT_EQ(pq::ParseCheckReply(reply + "@@ok@@Y@@N@@Y").LinkTextEditable, false);
}

}  // namespace
