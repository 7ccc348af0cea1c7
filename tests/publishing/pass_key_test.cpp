#include "publishing/pass_key.h"

#include <gtest/gtest.h>

#include "publishing/remembered_password.h"
#include "support/memory_settings.h"

namespace {

TEST(GetPassKey, Replies) {
  const struct {
    std::string reply;
    bool ok;
    int key;
  } cases[] = {
      {"@@17@@", true, 17},
      {"@@-5@@", true, -5},
      {"<html><body>@@17@@</body></html>", true, 17},
      {"@@32767@@", true, 32767},
      {"@@-32768@@", true, -32768},
      {"see @@x@@ then @@17@@", false, 0},  // field 1 is "x"
      {"@@17", false, 0},
      {"@@@@", false, 0},
      {"@@abc@@", false, 0},
      {"@@32768@@", false, 0},
      {"@@1.5@@", false, 0},
      {"<html>Not found</html>", false, 0},
      {"", false, 0},
  };
  for (const auto& c : cases) {
    std::string asked;
    const auto r = pq::GetPassKey("https://Site.example:8443", [&](const std::string& url) {
      asked = url;
      return c.reply;
    }, "10122026134400");
    EXPECT_EQ(asked, "https://site.example:8443/pagequill/?type=passkey&now=10122026134400");
    EXPECT_EQ(r.ok, c.ok) << c.reply;
    if (c.ok) EXPECT_EQ(r.key, c.key) << c.reply;
    else EXPECT_FALSE(r.error.empty()) << c.reply;
  }
}

TEST(GetPassKey, ARefusedAnswerSaysWhy) {
  pq::FetchedPage refused;
  refused.failed = true;
  refused.problem = "The website's certificate is not trusted: it has expired.";
  const auto r = pq::GetPassKey("https://h", [&](const std::string&) { return refused; }, "1");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "The website's certificate is not trusted: it has expired. Nothing was published.");
}

// Each way of getting no key names the pass-key step; the site script's own words are passed
// on as they are.
TEST(GetPassKey, NoKeySaysWhichStepFailedAndPassesTheScriptsWordsOn) {
  const auto page = [](std::string text, unsigned status, bool failed) {
    pq::FetchedPage p(std::move(text));
    p.status = status;
    p.failed = failed;
    return p;
  };
  const struct {
    const char* name;
    pq::FetchedPage answer;
    std::string error;
  } cases[] = {
      {"the site script refuses",
       page("@@Too many pass keys were asked for - please try again in a few minutes@@", 200, false),
       "The website did not hand out a pass key, so nothing was published. It said: Too many "
       "pass keys were asked for - please try again in a few minutes"},
      {"an error page", page("<h1>Not Found</h1>", 404, false),
       "The website answered the request for a pass key with an error (HTTP 404), so nothing "
       "was published. Please try again; if this keeps happening, ask your website designer "
       "to check the Pagequill script on the website."},
      {"no answer", page("", 0, true),
       "The website did not answer when asked for a pass key, so nothing was published. Please "
       "check your Internet connection and try again."},
      {"a number out of range is no message", page("@@40000@@", 200, false),
       "The website did not hand out a valid pass key, so nothing was published. Please try "
       "again; if this keeps happening, ask your website designer to check the Pagequill "
       "script on the website."},
  };
  for (const auto& c : cases) {
    const auto r = pq::GetPassKey("http://h", [&](const std::string&) { return c.answer; }, "1");
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_EQ(r.error, c.error) << c.name;
  }
}

TEST(PassKeysFor, Sequence) {
  // Top page K+1; the frames from K+2 on, one each for the frames sent.
  auto s = pq::PassKeysFor(41, false, 0);
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(s.top, 42);
  s = pq::PassKeysFor(41, true, 3);
  EXPECT_EQ(s.top, 42);
  EXPECT_EQ(s.frames, (std::vector<int>{43, 44, 45}));
  s = pq::PassKeysFor(-1, true, 1);
  EXPECT_EQ(s.frames, (std::vector<int>{1}));
}

TEST(PassKeysFor, NoKeyMayPass32767) {
  EXPECT_TRUE(pq::PassKeysFor(32766, false, 0).ok);
  EXPECT_TRUE(pq::PassKeysFor(32765, true, 1).ok);
  EXPECT_FALSE(pq::PassKeysFor(32767, false, 0).ok);
  const auto s = pq::PassKeysFor(32765, true, 2);
  EXPECT_FALSE(s.ok);
  EXPECT_FALSE(s.error.empty());
}

TEST(RememberedPassword, KeptUnderTheSiteRootInLowerCase) {
  pq::MemorySettings settings;
  settings.SaveSetting("passwords", "http://other.example", "theirs");
  const std::string root = "HTTP://Www.Example.COM";
  EXPECT_EQ(pq::PasswordPrompt(root), "Please enter password for HTTP://Www.Example.COM");
  EXPECT_EQ(pq::RememberedPassword(settings, root), "");

  pq::RememberAfterPublishing(settings, root, "s3cret", true);
  EXPECT_EQ(settings.GetSetting("passwords", "http://www.example.com"), "s3cret");
  EXPECT_EQ(pq::RememberedPassword(settings, "http://www.example.com"), "s3cret");

  // Unticked: the value is emptied, the key stays, other sites keep theirs.
  pq::RememberAfterPublishing(settings, root, "s3cret", false);
  EXPECT_EQ(settings.GetSetting("passwords", "http://www.example.com", "absent"), "");
  EXPECT_EQ(pq::RememberedPassword(settings, "http://other.example"), "theirs");

  // Nothing remembered and not asked to: nothing is written.
  pq::RememberAfterPublishing(settings, "http://new.example", "x", false);
  EXPECT_EQ(settings.GetSetting("passwords", "http://new.example", "absent"), "absent");
}

TEST(RememberedPassword, KeyedBySchemeHostAndPort) {
  const std::pair<const char*, const char*> keys[] = {
      {"http://Shop.test", "http://shop.test"},
      {"http://shop.test:80", "http://shop.test"},
      {"http://shop.test:8080", "http://shop.test:8080"},
      {"https://Shop.test", "https://shop.test"},
      {"https://shop.test:443", "https://shop.test"},
      {"https://shop.test:8443", "https://shop.test:8443"},
      {"file:///tmp", ""},
  };
  for (const auto& [root, key] : keys) EXPECT_EQ(pq::PasswordKey(root), key) << root;

  pq::MemorySettings settings;
  pq::RememberAfterPublishing(settings, "http://shop.test", "plain", true);
  pq::RememberAfterPublishing(settings, "https://shop.test", "secure", true);
  pq::RememberAfterPublishing(settings, "https://shop.test:8443", "other port", true);
  EXPECT_EQ(pq::RememberedPassword(settings, "http://shop.test"), "plain");
  EXPECT_EQ(pq::RememberedPassword(settings, "https://SHOP.test:443"), "secure");
  EXPECT_EQ(pq::RememberedPassword(settings, "https://shop.test:8443"), "other port");
  EXPECT_EQ(pq::RememberedPassword(settings, "http://shop.test:8443"), "");
}

TEST(RememberedPassword, AnOlderKeyServesItsHttpSiteOnly) {
  pq::MemorySettings settings;
  // Kept by an earlier version: the root as typed, default port written.
  settings.SaveSetting("passwords", "http://shop.test:80", "old");
  EXPECT_EQ(pq::RememberedPassword(settings, "HTTP://Shop.test:80"), "old");
  EXPECT_EQ(pq::RememberedPassword(settings, "https://shop.test:80"), "");
  // Remembered again: under the new key, and the older one is emptied.
  pq::RememberAfterPublishing(settings, "http://shop.test:80", "new", true);
  EXPECT_EQ(settings.GetSetting("passwords", "http://shop.test"), "new");
  EXPECT_EQ(settings.GetSetting("passwords", "http://shop.test:80"), "");
  EXPECT_EQ(pq::RememberedPassword(settings, "http://shop.test"), "new");
  // Forgotten: neither key holds it.
  settings.SaveSetting("passwords", "http://shop.test:80", "old");
  pq::RememberAfterPublishing(settings, "http://shop.test:80", "x", false);
  EXPECT_EQ(pq::RememberedPassword(settings, "http://shop.test:80"), "");
}

}  // namespace
