#include "publishing/page_revisions.h"

#include <gtest/gtest.h>

#include "publishing/md5.h"

namespace {

using pq::RevisionsAnswer;

std::string Ids(const pq::RevisionsReply& r) {
  std::string ids;
  for (const auto& v : r.revisions) ids += (ids.empty() ? "" : ",") + v.id;
  return ids;
}

TEST(PageRevisions, RequestsAreAuthenticatedLikeAPublication) {
  const auto list = pq::RevisionsRequest("sub dir/a.htm", 42, "secret");
  EXPECT_EQ(list.Body(), "passkey=42&hash=" + pq::MD5Hex("secret42") +
                             "&action=revisions&file=sub+dir%2Fa.htm");
  const auto restore = pq::RestoreRequest("a.htm", "20261211-040853-2", -7, "pw");
  EXPECT_EQ(restore.Body(), "passkey=-7&hash=" + pq::MD5Hex("pw-7") +
                                "&action=restore&file=a.htm&revision=20261211-040853-2");
  const auto fetch = pq::FetchRevisionRequest("a.htm", "20261211-040853", 1, "pw");
  EXPECT_EQ(fetch.Body(), "passkey=1&hash=" + pq::MD5Hex("pw1") +
                              "&action=fetch&file=a.htm&revision=20261211-040853");
}

TEST(PageRevisions, ListingReplies) {
  const struct {
    const char* reply;
    RevisionsAnswer answer;
    const char* ids;
    std::size_t unreadable;
    const char* message;
  } cases[] = {
      {"@@ok@@b|2026-12-11T04:08:53Z|12@@a|2026-12-10T01:00:00Z|9@@", RevisionsAnswer::Listed,
       "b,a", 0, ""},
      {"@@ok@@", RevisionsAnswer::Listed, "", 0, ""},  // nothing kept yet
      {"<pre>@@ok@@a|2026-01-01T00:00:00Z|0@@</pre>", RevisionsAnswer::Listed, "a", 0, ""},
      // Odd separators: empty fields and spaces around an entry are passed over.
      {"@@ok@@@@@@ a|2026-01-01T00:00:00Z|1 @@@@", RevisionsAnswer::Listed, "a", 0, ""},
      // Bad entries are left out, and counted; the good ones stay.
      {"@@ok@@a|2026-01-01T00:00:00Z|1@@b|yesterday|1@@c|2026-01-01T00:00:00Z|-1@@"
       "d|2026-13-01T00:00:00Z|1@@e|2026-01-01T00:00:00Z|99999999999999999999@@"
       "|2026-01-01T00:00:00Z|1@@f g|2026-01-01T00:00:00Z|1@@h|2026-01-01T00:00:00Z@@"
       "i|2026-01-01T00:00:00Z|1|x@@j|2026-02-30T00:00:00Z|1@@k|2026-01-01T00:00:00Z|0x10@@",
       RevisionsAnswer::Listed, "a", 10, ""},
      // A reply cut short inside an entry: the partial entry is not believed.
      {"@@ok@@a|2026-01-01T00:00:00Z|12@@b|2026-01-01T00:00:00Z|1", RevisionsAnswer::Listed, "a",
       1, ""},
      {"@@Wrong password@@", RevisionsAnswer::Refused, "", 0, "Wrong password"},
      {"@@File not allowed@@", RevisionsAnswer::Refused, "", 0, "File not allowed"},
      {"@@@@", RevisionsAnswer::Refused, "", 0, "Unknown Error"},
      {"@@OK@@a|2026-01-01T00:00:00Z|1@@", RevisionsAnswer::Refused, "", 0, "OK"},
      // Scripts that do not know the request.
      {"@@Unknown request@@", RevisionsAnswer::TooOld, "", 0, "Unknown request"},
      {"@@Incomplete request@@", RevisionsAnswer::TooOld, "", 0, "Incomplete request"},
      {"@@Updated@@", RevisionsAnswer::TooOld, "", 0, "Updated"},
      // No site script answer at all.
      {"", RevisionsAnswer::Unreadable, "", 0, ""},
      {"<h1>502 Bad Gateway</h1>", RevisionsAnswer::Unreadable, "", 0, ""},
      {"ok|2026-01-01T00:00:00Z|1", RevisionsAnswer::Unreadable, "", 0, ""},
  };
  for (const auto& c : cases) {
    const auto r = pq::ParseRevisionsReply(c.reply);
    EXPECT_EQ(r.answer, c.answer) << c.reply;
    EXPECT_EQ(Ids(r), c.ids) << c.reply;
    EXPECT_EQ(r.unreadable, c.unreadable) << c.reply;
    EXPECT_EQ(r.message, c.message) << c.reply;
  }
}

TEST(PageRevisions, AListedVersionKeepsItsFields) {
  const auto r = pq::ParseRevisionsReply("@@ok@@20261211-040853-2|2026-12-11T04:08:53Z|1048576@@");
  ASSERT_EQ(r.revisions.size(), 1u);
  EXPECT_EQ(r.revisions[0].id, "20261211-040853-2");
  EXPECT_EQ(r.revisions[0].time, "2026-12-11T04:08:53Z");
  EXPECT_EQ(r.revisions[0].utcSeconds, 1796962133);
  EXPECT_EQ(r.revisions[0].size, 1048576u);
}

TEST(PageRevisions, HostileListingsStayBounded) {
  // A million entries: only the first few hundred are kept.
  std::string many = "@@ok@@";
  for (int i = 0; i < 1000000; ++i) many += "r|2026-01-01T00:00:00Z|1@@";
  const auto r = pq::ParseRevisionsReply(many);
  EXPECT_EQ(r.answer, RevisionsAnswer::Listed);
  EXPECT_EQ(r.revisions.size(), pq::kMaxRevisionsListed);
  // 32 MB of separators, an id of a megabyte, a refusal of a megabyte.
  EXPECT_TRUE(pq::ParseRevisionsReply("@@ok@@" + std::string(32u << 20, '@')).revisions.empty());
  const auto longId =
      pq::ParseRevisionsReply("@@ok@@" + std::string(1 << 20, 'x') + "|2026-01-01T00:00:00Z|1@@");
  EXPECT_TRUE(longId.revisions.empty());
  EXPECT_EQ(longId.unreadable, 1u);
  const auto refusal = pq::ParseRevisionsReply("@@" + std::string(1 << 20, 'w') + "@@");
  EXPECT_EQ(refusal.answer, RevisionsAnswer::Refused);
  EXPECT_LE(refusal.message.size(), 1000u);
  // Every byte value in an entry.
  std::string bytes = "@@ok@@";
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  bytes += "|2026-01-01T00:00:00Z|1@@";
  EXPECT_TRUE(pq::ParseRevisionsReply(bytes).revisions.empty());
}

TEST(PageRevisions, RestoreReplies) {
  const struct {
    const char* reply;
    RevisionsAnswer answer;
    const char* message;
  } cases[] = {
      {"@@Updated@@", RevisionsAnswer::Listed, ""},
      {"@@No such revision@@", RevisionsAnswer::Refused, "No such revision"},
      {"@@Pass key not valid@@", RevisionsAnswer::Refused, "Pass key not valid"},
      {"@@Unknown request@@", RevisionsAnswer::TooOld, "Unknown request"},
      {"@@updated@@", RevisionsAnswer::Refused, "updated"},
      {"", RevisionsAnswer::Unreadable, ""},
      {"Up", RevisionsAnswer::Unreadable, ""},
  };
  for (const auto& c : cases) {
    const auto r = pq::ParseRestoreReply(c.reply);
    EXPECT_EQ(r.answer, c.answer) << c.reply;
    EXPECT_EQ(r.message, c.message) << c.reply;
  }
}

TEST(PageRevisions, FetchReplies) {
  const struct {
    std::string reply;
    RevisionsAnswer answer;
    std::string bytes;
  } cases[] = {
      {"@@ok@@9@@<p>r1</p>", RevisionsAnswer::Listed, "<p>r1</p>"},
      // The bytes are taken by count, so "@@" and any byte inside them are theirs.
      {std::string("@@ok@@5@@a@@\0\xff", 14), RevisionsAnswer::Listed, std::string("a@@\0\xff", 5)},
      {"@@ok@@0@@", RevisionsAnswer::Listed, ""},
      {"@@ok@@20@@<p>cut</p>", RevisionsAnswer::Unreadable, ""},  // cut short
      {"@@ok@@x@@<p>", RevisionsAnswer::Unreadable, ""},
      {"@@ok@@99999999999999999999@@", RevisionsAnswer::Unreadable, ""},
      {"@@ok@@", RevisionsAnswer::Unreadable, ""},
      {"@@Unknown request@@", RevisionsAnswer::TooOld, ""},
      {"@@No such revision@@", RevisionsAnswer::Refused, ""},
  };
  for (const auto& c : cases) {
    const auto r = pq::ParseRevisionBytesReply(c.reply);
    EXPECT_EQ(r.answer, c.answer) << c.reply;
    EXPECT_EQ(r.bytes, c.bytes) << c.reply;
  }
}

TEST(PageRevisions, IsoTimes) {
  const struct {
    const char* text;
    std::optional<std::int64_t> seconds;
  } cases[] = {
      {"1970-01-01T00:00:00Z", 0},
      {"2026-12-11T04:08:53Z", 1796962133},
      {"2026-12-11T04:08:53", 1796962133},  // no zone: UTC
      {"2026-12-11 04:08:53Z", 1796962133},
      {"2026-12-11T04:08:53.250Z", 1796962133},
      {"2026-12-11T05:08:53+01:00", 1796962133},
      {"2026-12-10T23:08:53-05:00", 1796962133},
      {"2024-02-29T00:00:00Z", 1709164800},
      {"2023-02-29T00:00:00Z", std::nullopt},
      {"2026-12-11T24:00:00Z", std::nullopt},
      {"2026-12-11T04:08Z", std::nullopt},
      {"2026-12-11T04:08:53Zjunk", std::nullopt},
      {"2026-12-11T04:08:53.Z", std::nullopt},
      {"2026-12-11T04:08:53+1", std::nullopt},
      {"26-12-11T04:08:53Z", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::ParseIsoTime(c.text), c.seconds) << c.text;
}

}  // namespace
