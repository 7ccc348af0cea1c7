// The plain logic inside pagequill-site: pass keys, the wrong-password throttles,
// charset sniffing and URL decoding.
#include <gtest/gtest.h>

#include <set>

#include "site-script/content_types.h"
#include "site-script/pass_keys.h"
#include "site-script/password_throttle.h"
#include "site-script/url_decoding.h"

namespace {

using namespace pq::site;
using Clock = std::chrono::steady_clock;

struct FakeClock {
  Clock::time_point now = Clock::time_point(std::chrono::hours(1000));
  std::function<Clock::time_point()> fn() {
    return [this] { return now; };
  }
};

TEST(PassKeyStore, IncrementsOfTheHighestKeyStayInSixteenBits) {
  FakeClock clock;
  PassKeyStore top({200, std::chrono::seconds(600), 64}, [](std::uint32_t n) { return n - 1; },
                   clock.fn());
  const int k = *top.Issue();
  EXPECT_EQ(k, 32767 - 200);
  EXPECT_TRUE(top.Redeem(32767));
  PassKeyStore bottom({200, std::chrono::seconds(600), 64}, [](std::uint32_t) { return 0u; },
                      clock.fn());
  EXPECT_EQ(*bottom.Issue(), -32768);
  EXPECT_TRUE(bottom.Redeem(-32767));
}

TEST(PassKeyStore, EachFollowingKeyOnceWithinTheIssueAndItsLifetime) {
  FakeClock clock;
  std::uint32_t next = 1000;
  PassKeyStore keys({3, std::chrono::seconds(10), 64}, [&](std::uint32_t) { return next; },
                    clock.fn());
  const int k = *keys.Issue();
  EXPECT_FALSE(keys.Redeem(k));
  EXPECT_TRUE(keys.Redeem(k + 2));  // a skipped document consumes nothing
  EXPECT_TRUE(keys.Redeem(k + 1));
  EXPECT_FALSE(keys.Redeem(k + 1));
  EXPECT_FALSE(keys.Redeem(k + 4));
  clock.now += std::chrono::seconds(10);
  EXPECT_FALSE(keys.Redeem(k + 3)) << "expired";
}

TEST(PassKeyStore, LiveIssuesNeverOverlap) {
  FakeClock clock;
  // The random source first offers bases overlapping the live one, then a free one.
  std::vector<std::uint32_t> offers = {5000, 5100, 5199, 4801, 5200};
  std::size_t i = 0;
  PassKeyStore keys({200, std::chrono::seconds(600), 64},
                    [&](std::uint32_t) { return offers[std::min(i++, offers.size() - 1)]; },
                    clock.fn());
  const int first = *keys.Issue();
  const int second = *keys.Issue();
  EXPECT_EQ(second - first, 200);
  EXPECT_TRUE(keys.Redeem(first + 200));
  EXPECT_TRUE(keys.Redeem(second + 1));
}

TEST(PassKeyStore, AnonymousRequestsNeverPushOutAnotherAddresssKey) {
  FakeClock clock;
  std::uint32_t base = 0;
  PassKeyStore keys({10, std::chrono::seconds(600), 6, 2, 1000},
                    [&](std::uint32_t) { return base += 100; }, clock.fn());
  const int owner = *keys.Issue("owner");
  // One address asking again and again replaces only its own keys.
  std::vector<int> mine;
  for (int i = 0; i < 50; ++i) mine.push_back(*keys.Issue("10.0.0.1"));
  EXPECT_FALSE(keys.Redeem(mine[47] + 1)) << "its older keys made room";
  EXPECT_TRUE(keys.Redeem(mine[49] + 1));
  // Many addresses fill the site's quota: then new keys are refused, none are pushed out.
  int refused = 0;
  for (int i = 2; i < 20; ++i) refused += !keys.Issue("10.0.0." + std::to_string(i)).has_value();
  EXPECT_EQ(refused, 18 - 3);
  EXPECT_TRUE(keys.Redeem(owner + 1)) << "the owner's key lives its lifetime";
  EXPECT_FALSE(keys.Issue("owner").has_value()) << "the site is full for everyone";
  clock.now += std::chrono::seconds(600);
  EXPECT_TRUE(keys.Issue("owner").has_value()) << "expired keys free the quota";
}

TEST(PassKeyStore, AnAddressGetsAFewKeysAMinute) {
  FakeClock clock;
  std::uint32_t base = 0;
  PassKeyStore keys({10, std::chrono::seconds(600), 256, 4, 3},
                    [&](std::uint32_t) { return (base += 100) % 60000; }, clock.fn());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(keys.Issue("a").has_value());
  EXPECT_FALSE(keys.Issue("a").has_value());
  EXPECT_TRUE(keys.Issue("b").has_value());
  clock.now += std::chrono::seconds(60);
  EXPECT_TRUE(keys.Issue("a").has_value());
}

TEST(PassKeyStore, ACrowdedKeySpaceIsFilledWithoutOverlapThenRefused) {
  FakeClock clock;
  // A random source stuck on one value: every issue after the first must search.
  PassKeyStore keys({1000, std::chrono::seconds(600), 1000, 1000, 1000},
                    [](std::uint32_t) { return 0u; }, clock.fn());
  std::set<int> bases;
  while (auto k = keys.Issue("a")) {
    for (int b : bases) ASSERT_TRUE(*k >= b + 1000 || b >= *k + 1000) << *k << " overlaps " << b;
    bases.insert(*k);
    ASSERT_LE(bases.size(), 65u);
  }
  EXPECT_EQ(bases.size(), 65u) << "65 ranges of 1000 fit below 32767";
}

TEST(PasswordThrottle, SlowsDownThenLocksOutPerAddress) {
  FakeClock clock;
  PasswordThrottle t({2, 4, std::chrono::seconds(900)}, clock.fn());
  using V = PasswordThrottle::Verdict;
  t.RecordWrong("a");
  EXPECT_EQ(t.Check("a"), V::Allowed);
  t.RecordWrong("a");
  EXPECT_EQ(t.Check("a"), V::TooSoon);
  EXPECT_EQ(t.Check("b"), V::Allowed) << "other addresses are not affected";
  clock.now += std::chrono::seconds(1);
  EXPECT_EQ(t.Check("a"), V::Allowed);
  t.RecordWrong("a");
  clock.now += std::chrono::seconds(1);
  EXPECT_EQ(t.Check("a"), V::TooSoon) << "the wait doubles";
  clock.now += std::chrono::seconds(1);
  t.RecordWrong("a");
  EXPECT_EQ(t.Check("a"), V::LockedOut);
  clock.now += std::chrono::seconds(899);
  EXPECT_EQ(t.Check("a"), V::LockedOut);
  clock.now += std::chrono::seconds(1);
  EXPECT_EQ(t.Check("a"), V::Allowed);
  t.RecordRight("a");
  t.RecordWrong("a");
  EXPECT_EQ(t.Check("a"), V::Allowed);
}

// The charset is what a browser's prescan finds, by its standard name (ISO-8859-1 reads as
// windows-1252), so the header never contradicts what the page itself says.
TEST(PasswordThrottle, GuessesFromManyAddressesSlowTheWholeSiteUntilTheOwnerGetsIn) {
  FakeClock clock;
  PasswordThrottle t({3, 10, std::chrono::seconds(900), 4, std::chrono::seconds(8)}, clock.fn());
  using V = PasswordThrottle::Verdict;
  int address = 0;
  auto fresh = [&] { return "10.0.0." + std::to_string(++address); };
  for (int i = 0; i < 4; ++i) {
    const std::string a = fresh();
    ASSERT_EQ(t.Check(a), V::Allowed) << "the first wrong passwords are free";
    t.RecordWrong(a);
  }
  // Then the site waits 1, 2, 4, 8, 8 ... seconds after each wrong one, whoever sends it.
  for (int wait : {1, 2, 4, 8, 8}) {
    EXPECT_EQ(t.Check(fresh()), V::SiteTooSoon) << wait;
    clock.now += std::chrono::seconds(wait) - std::chrono::milliseconds(1);
    EXPECT_EQ(t.Check(fresh()), V::SiteTooSoon) << "refused attempts do not count";
    clock.now += std::chrono::milliseconds(1);
    const std::string a = fresh();
    ASSERT_EQ(t.Check(a), V::Allowed) << wait;
    t.RecordWrong(a);
  }
  // The owner, from yet another address, once the wait is over: the site's count is cleared.
  clock.now += std::chrono::seconds(8);
  ASSERT_EQ(t.Check("owner"), V::Allowed);
  t.RecordRight("owner");
  EXPECT_EQ(t.Check(fresh()), V::Allowed);
  t.RecordWrong("x");
  EXPECT_EQ(t.Check(fresh()), V::Allowed) << "free wrong passwords again";
  // An hour without a wrong password forgets the site's count as well.
  for (int i = 0; i < 3; ++i) t.RecordWrong(fresh());
  EXPECT_EQ(t.Check(fresh()), V::SiteTooSoon);
  clock.now += std::chrono::minutes(61);
  EXPECT_EQ(t.Check(fresh()), V::Allowed);
  t.RecordWrong(fresh());
  EXPECT_EQ(t.Check(fresh()), V::Allowed);
}

TEST(ContentTypes, PagesCarryTheCharsetTheyDeclare) {
  struct Case {
    const char* name;
    std::string content;
    const char* type;
  };
  const Case cases[] = {
      {"a.htm", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">",
       "text/html; charset=windows-1252"},
      {"a.html", "<head><meta charset=utf-8></head>", "text/html; charset=utf-8"},
      {"a.htm", "<!-- <meta charset=\"iso-8859-1\"> --><meta charset=\"utf-8\">",
       "text/html; charset=utf-8"},
      {"a.htm", "<meta charset=\"utf-16\"><p>\xC3\xA9</p>", "text/html; charset=utf-8"},
      {"a.htm", "<title>charset=iso-8859-2</title><meta charset=utf-8>",
       "text/html; charset=utf-8"},
      {"a.htm", "<meta charset = 'windows-1252' >", "text/html; charset=windows-1252"},
      {"a.htm", "<p>charset=utf-8 in the text</p>", "text/html"},
      {"a.htm", "<meta name=\"pqedit\" content=\"y\"><meta charset=\"utf-8\">", "text/html; charset=utf-8"},
      {"a.htm", "<meta charset=\"x\r\nInjected: 1\">", "text/html"},
      {"a.htm", "\xEF\xBB\xBF<meta charset=iso-8859-1>", "text/html; charset=utf-8"},
      {"a.htm", std::string("\xFF\xFE<\0p\0", 6), "text/html; charset=utf-16le"},
      {"a.htm", std::string("\xFF\xFE\0\0<\0\0\0", 8), "text/html"},
      {"a.htm", std::string(5000, ' ') + "<meta charset=utf-8>", "text/html"},
      {"A.CSS", "", "text/css"},
      {"a.js", "", "text/javascript"},
      {"a.png", "", "image/png"},
      {"a.svg", "", "image/svg+xml"},
      {"a.gif", "", "image/gif"},
      {"a.jpg", "", "image/jpeg"},
      {"a.php", "", "application/octet-stream"},
      {"noext", "", "application/octet-stream"},
  };
  for (const auto& tc : cases) EXPECT_EQ(ContentTypeFor(tc.name, tc.content), tc.type) << tc.content;
}

TEST(UrlDecoding, DecodesExactBytesAndRefusesBrokenEscapes) {
  EXPECT_EQ(PercentDecode("a%20b+c", false), "a b+c");
  EXPECT_EQ(PercentDecode("a%20b+c", true), "a b c");
  EXPECT_EQ(PercentDecode("%00%ff%C3%A9", false), std::string("\0\xff\xc3\xa9", 4));
  EXPECT_EQ(PercentDecode("%u002e", false), std::nullopt);
  EXPECT_EQ(PercentDecode("50%", false), std::nullopt);
  EXPECT_EQ(PercentDecode("%4", false), std::nullopt);
  auto form = ParseUrlEncodedForm("passkey=42&hash=ab&file=a+b.htm&html=%3Cp%3E%26%3D%2B&empty&&x=");
  ASSERT_TRUE(form);
  ASSERT_EQ(form->size(), 6u);
  EXPECT_EQ((*form)[2].value, "a b.htm");
  EXPECT_EQ((*form)[3].value, "<p>&=+");
  EXPECT_EQ((*form)[4].name, "empty");
  EXPECT_EQ((*form)[5].value, "");
  EXPECT_EQ(ParseUrlEncodedForm("html=%zz"), std::nullopt);
}

}  // namespace
