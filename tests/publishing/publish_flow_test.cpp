#include "publishing/publish_flow.h"

#include <gtest/gtest.h>

#include <optional>

#include "pageprep/markers.h"
#include "text/page_encoding.h"
#include "publishing/md5.h"
#include "publishing/publishable_page.h"

namespace {

using pq::PublishAttempt;
using pq::PublishDocument;
using pq::PublishOutcome;
using pq::SpanSnapshot;

const std::string kRoot = "http://127.0.0.1:8080";

// A document whose source is "<p>" + text + "</p>" with one edit span around the text.
PublishDocument Doc(const std::string& file, const std::string& text) {
  PublishDocument d;
  const std::string url = kRoot + "/" + file;
  d.sourceText = "<html><body><p>" + text + "</p></body></html>";
  d.editHTML = "<html><!--FullPath=\"" + url + "\"--><!--OrigURL=\"" + url +
               "\"--><body><p><SPAN ID=\"ZZZEDIT1\">" + text + "</SPAN></p></body></html>";
  d.live.elements["ZZZEDIT1"] = {text, {}};
  d.recorded = d.live;
  return d;
}

PublishDocument Edited(PublishDocument d, const std::string& now) {
  d.live.elements["ZZZEDIT1"].innerHTML = now;
  return d;
}

std::string FieldValue(const pq::FormFields& f, const std::string& name) {
  for (const auto& field : f.Fields())
    if (field.name == name) return field.bytes;
  return "<missing>";
}

TEST(PlanPublication, OnlyChangedDocumentsAreSent) {
  const auto plan = pq::PlanPublication(
      {Doc("frames.htm", "top"), Doc("frame-menu.htm", "menu"),
       Edited(Doc("frame-news.htm", "news"), "fresh news")},
      kRoot);
  ASSERT_TRUE(plan.error.empty());
  ASSERT_EQ(plan.jobs.size(), 1u);
  EXPECT_TRUE(plan.hasFrames);
  EXPECT_EQ(plan.jobs[0].file, "frame-news.htm");
  EXPECT_EQ(plan.jobs[0].html, "<html><body><p>fresh news</p></body></html>");
}

TEST(PlanPublication, AnUntouchedSpanGivesItsSourceNotTheEnginesText) {
  // The engine serialises "&eacute;" as "é"; the page keeps its own spelling.
  PublishDocument d = Doc("a.htm", "caf&eacute;");
  d.live.elements["ZZZEDIT1"].innerHTML = "caf\xC3\xA9";
  d.recorded = d.live;
  EXPECT_TRUE(pq::PlanPublication({d}, kRoot).jobs.empty());
  // With a second span edited, the first still comes from the source.
  d.editHTML.insert(d.editHTML.find("</p>"), "<SPAN ID=\"ZZZEDIT2\">x</SPAN>");
  d.sourceText.insert(d.sourceText.find("</p>"), "x");
  d.recorded->elements["ZZZEDIT2"] = {"x", {}};
  d.live.elements["ZZZEDIT2"] = {"y", {}};
  const auto plan = pq::PlanPublication({d}, kRoot);
  ASSERT_EQ(plan.jobs.size(), 1u);
  EXPECT_EQ(plan.jobs[0].html, "<html><body><p>caf&eacute;y</p></body></html>");
}

// A page prepared as the browse pane prepares it, its spans recorded as shown.
PublishDocument Prepared(const std::string& source) {
  PublishDocument d;
  d.sourceText = d.sourceBytes = source;
  pq::MarkedHTML marked = pq::MakeEditHTML(source, kRoot + "/p.htm", kRoot + "/p.htm");
  d.editHTML = marked.html;
  d.layout = marked.layout;
  d.recorded = pq::SpansAsWritten(d.editHTML, *d.layout);
  d.live = *d.recorded;
  return d;
}

TEST(PublishedText, SpansAgainstTheSource) {
  const std::string source =
      "<html><body><p>Caf&eacute; <b>open</b> </p><p>Keep me</p>"
      "<p><a href=\"x.htm\">Link</a></p></body></html>";
  const struct {
    const char* name;
    const char* id;
    SpanSnapshot::Element live;
    std::optional<std::string> want;  // nullopt: nothing to publish
  } cases[] = {
      {"unchanged spans give nothing to send", "ZZZEDIT2", {"Keep me", {}}, std::nullopt},
      {"a changed span, the rest as in the source", "ZZZEDIT2", {"Kept", {}},
       "<html><body><p>Caf&eacute; <b>open</b> </p><p>Kept</p>"
       "<p><a href=\"x.htm\">Link</a></p></body></html>"},
      {"an emptied span gives the deleted-text marker", "ZZZEDIT2", {"", {}},
       "<html><body><p>Caf&eacute; <b>open</b> </p><p>&nbsp;<!--DeletedText--></p>"
       "<p><a href=\"x.htm\">Link</a></p></body></html>"},
      {"an editable link takes its new text", "ZZZANCHOR1", {"<a>Link</a>", {"Other"}},
       "<html><body><p>Caf&eacute; <b>open</b> </p><p>Keep me</p>"
       "<p><a href=\"x.htm\">Other</a></p></body></html>"},
      {"a link that is not editable keeps its text", "ZZZANCHOR1", {"<a>Changed</a>", {}},
       std::nullopt},
  };
  for (const auto& c : cases) {
    PublishDocument d = Prepared(source);
    ASSERT_TRUE(d.live.elements.count(c.id)) << c.name;
    d.live.elements[c.id] = c.live;
    EXPECT_EQ(pq::PublishedText(d), c.want) << c.name;
  }
}

TEST(PlanPublication, FileFieldAndCharset) {
  PublishDocument d = Edited(Doc("news/latest%20items.htm", "a"), "\xC3\xA9");
  d.charset = "windows-1252";
  d.sourceBytes = "<html><body><p>a</p></body></html>";
  const auto plan = pq::PlanPublication({d}, kRoot);
  ASSERT_EQ(plan.jobs.size(), 1u);
  EXPECT_EQ(plan.jobs[0].file, "news/latest items.htm");
  EXPECT_EQ(plan.jobs[0].origUrl, kRoot + "/news/latest%20items.htm");
  EXPECT_EQ(plan.jobs[0].charset, "iso-8859-1");
  EXPECT_EQ(plan.jobs[0].html, "<html><body><p>\xE9</p></body></html>");
}

TEST(PlanPublication, AChangedUtf16DocumentStopsEverything) {
  PublishDocument frame = Edited(Doc("f.htm", "a"), "b");
  frame.charset = "utf-16le";
  const auto plan = pq::PlanPublication({Edited(Doc("top.htm", "a"), "b"), frame}, kRoot);
  EXPECT_TRUE(plan.jobs.empty());
  EXPECT_NE(plan.error.find("f.htm"), std::string::npos) << plan.error;
  EXPECT_NE(plan.error.find("UTF-16"), std::string::npos) << plan.error;
  PublishAttempt attempt(plan, "demo");
  attempt.Begin(true, 1, "");
  EXPECT_EQ(attempt.Next(), nullptr);
  EXPECT_EQ(attempt.Outcome(), PublishOutcome::Failed);
  EXPECT_EQ(attempt.ErrorMessage(), plan.error);
}

TEST(PublishAttempt, PassKeysAndFields) {
  // Top page and the second of three frames changed: K+1 and K+2.
  auto plan = pq::PlanPublication({Edited(Doc("frames.htm", "t"), "T"), Doc("m.htm", "m"),
                                   Edited(Doc("n.htm", "n"), "N"), Doc("o.htm", "o")},
                                  kRoot);
  PublishAttempt attempt(plan, "demo");
  attempt.Begin(true, 41, "");
  ASSERT_NE(attempt.Next(), nullptr);
  auto fields = attempt.NextFields();
  ASSERT_EQ(fields.Fields().size(), 5u);
  EXPECT_EQ(fields.Fields()[0].name, "passkey");
  EXPECT_EQ(fields.Fields()[1].name, "hash");
  EXPECT_EQ(fields.Fields()[2].name, "file");
  EXPECT_EQ(fields.Fields()[3].name, "html");
  EXPECT_EQ(fields.Fields()[4].name, "base");
  // The base is the digest of the exact bytes the edit was made on.
  EXPECT_EQ(FieldValue(fields, "base"), pq::MD5HexOfBytes("<html><body><p>t</p></body></html>"));
  EXPECT_EQ(FieldValue(fields, "passkey"), "42");
  EXPECT_EQ(FieldValue(fields, "hash"), pq::MD5Hex("demo42"));
  EXPECT_EQ(FieldValue(fields, "file"), "frames.htm");
  attempt.Judge("<html>@@Updated@@</html>");
  fields = attempt.NextFields();
  EXPECT_EQ(FieldValue(fields, "passkey"), "43");
  EXPECT_EQ(FieldValue(fields, "file"), "n.htm");
  attempt.Judge("@@Updated@@");
  EXPECT_EQ(attempt.Next(), nullptr);
  EXPECT_EQ(attempt.Outcome(), PublishOutcome::Succeeded);
  EXPECT_EQ(attempt.ErrorMessage(), "");

  // Top page unchanged, only the second frame: one submission with K+2.
  plan = pq::PlanPublication(
      {Doc("frames.htm", "t"), Doc("m.htm", "m"), Edited(Doc("n.htm", "n"), "N")}, kRoot);
  PublishAttempt second(plan, "demo");
  second.Begin(true, -3, "");
  EXPECT_EQ(FieldValue(second.NextFields(), "passkey"), "-1");
  EXPECT_EQ(FieldValue(second.NextFields(), "file"), "n.htm");
}

TEST(PublishAttempt, ReplyTable) {
  const struct {
    std::string reply;
    PublishOutcome outcome;
    std::string message;
  } cases[] = {
      {"<p>@@Updated@@</p>", PublishOutcome::Succeeded, ""},
      {"<html>Sorry@@Wrong password@@</html>", PublishOutcome::Failed, "Wrong password"},
      {"@@updated@@", PublishOutcome::Failed, "updated"},
      {"<html><body>Internal Server Error</body></html>", PublishOutcome::Failed, "Unknown Error"},
      {"", PublishOutcome::Failed, "Unknown Error"},
  };
  for (const auto& c : cases) {
    PublishAttempt attempt(pq::PlanPublication({Edited(Doc("a.htm", "a"), "b")}, kRoot), "pw");
    attempt.Begin(true, 0, "");
    attempt.Judge(c.reply);
    EXPECT_EQ(attempt.Outcome(), c.outcome) << c.reply;
    EXPECT_EQ(attempt.ErrorMessage(), c.message) << c.reply;
  }
}

TEST(PublishAttempt, EveryRefusedDocumentIsNamedEvenWhenALaterOneSucceeds) {
  PublishAttempt attempt(
      pq::PlanPublication({Doc("frames.htm", "t"), Edited(Doc("m.htm", "m"), "M"),
                           Edited(Doc("n.htm", "n"), "N"), Edited(Doc("o.htm", "o"), "O")},
                          kRoot),
      "pw");
  attempt.Begin(true, 0, "");
  attempt.Judge("@@File not allowed@@");
  attempt.Judge("@@Pass key not valid@@");
  attempt.Judge("@@Updated@@");
  EXPECT_EQ(attempt.Outcome(), PublishOutcome::Failed);
  const std::string m = attempt.ErrorMessage();
  EXPECT_NE(m.find("m.htm: File not allowed"), std::string::npos) << m;
  EXPECT_NE(m.find("n.htm: Pass key not valid"), std::string::npos) << m;
  EXPECT_NE(m.find("published: o.htm"), std::string::npos) << m;
}

TEST(PublishAttempt, ARefusedTopPageStopsBeforeTheFrames) {
  PublishAttempt attempt(pq::PlanPublication({Edited(Doc("frames.htm", "t"), "T"),
                                              Edited(Doc("m.htm", "m"), "M")},
                                             kRoot),
                         "pw");
  attempt.Begin(true, 0, "");
  attempt.Judge("@@Wrong password@@");
  EXPECT_EQ(attempt.Next(), nullptr);
  EXPECT_EQ(attempt.Outcome(), PublishOutcome::Failed);
  EXPECT_EQ(attempt.SentAddresses().size(), 1u);
}

TEST(PublishAttempt, APostThatNeverReachedTheSiteScriptStopsTheAttempt) {
  PublishAttempt attempt(pq::PlanPublication({Doc("frames.htm", "t"), Edited(Doc("m.htm", "m"), "M"),
                                              Edited(Doc("n.htm", "n"), "N")},
                                             kRoot),
                         "pw");
  attempt.Begin(true, 0, "");
  attempt.Judge("@@Updated@@");
  const std::string why = "The website sent Pagequill's request on to another site (http://evil.test).";
  attempt.Undelivered(why);
  EXPECT_EQ(attempt.Next(), nullptr);  // n.htm is not sent the same way
  EXPECT_EQ(attempt.Outcome(), PublishOutcome::Failed);
  const std::string m = attempt.ErrorMessage();
  EXPECT_NE(m.find("n.htm: " + why), std::string::npos) << m;
  EXPECT_NE(m.find("published: m.htm"), std::string::npos) << m;
  EXPECT_EQ(attempt.SentAddresses().size(), 1u);  // nothing of n.htm reached the website

  // A single page: the reason alone.
  PublishAttempt single(pq::PlanPublication({Edited(Doc("a.htm", "a"), "A")}, kRoot), "pw");
  single.Begin(true, 0, "");
  single.Undelivered(why);
  EXPECT_EQ(single.ErrorMessage(), why);
}

TEST(PublishAttempt, CancelTellsWhatWasAlreadyStored) {
  auto plan = pq::PlanPublication({Edited(Doc("frames.htm", "t"), "T"),
                                   Edited(Doc("m.htm", "m"), "M"), Edited(Doc("n.htm", "n"), "N")},
                                  kRoot);
  PublishAttempt attempt(plan, "pw");
  attempt.Begin(true, 0, "");
  attempt.Judge("@@Updated@@");
  attempt.Cancel();
  EXPECT_EQ(attempt.Next(), nullptr);
  EXPECT_EQ(attempt.Outcome(), PublishOutcome::Cancelled);
  EXPECT_EQ(attempt.ErrorMessage(),
            "Publishing was cancelled. These pages were already published: frames.htm.\n\n"
            "These pages were not published: m.htm, n.htm.");

  // Cancelled while the second submission was under way: its reply still counts.
  PublishAttempt during(plan, "pw");
  during.Begin(true, 0, "");
  during.Judge("@@Updated@@");
  ASSERT_NE(during.Next(), nullptr);
  during.Cancel();
  during.Judge("@@Updated@@");
  EXPECT_EQ(during.Next(), nullptr);
  EXPECT_EQ(during.Outcome(), PublishOutcome::Cancelled);
  EXPECT_EQ(during.ErrorMessage(),
            "Publishing was cancelled. These pages were already published: frames.htm, m.htm.\n\n"
            "These pages were not published: n.htm.");

  // Cancelled during the last submission: nothing was stopped, the attempt succeeded.
  PublishAttempt last(plan, "pw");
  last.Begin(true, 0, "");
  last.Judge("@@Updated@@");
  last.Judge("@@Updated@@");
  last.Cancel();
  last.Judge("@@Updated@@");
  EXPECT_EQ(last.Outcome(), PublishOutcome::Succeeded);
  EXPECT_EQ(last.ErrorMessage(), "");

  PublishAttempt early(plan, "pw");
  early.Begin(true, 0, "");
  early.Cancel();
  EXPECT_EQ(early.ErrorMessage(), "Publishing was cancelled. Nothing was published.\n\n"
                                  "These pages were not published: frames.htm, m.htm, n.htm.");
}

TEST(PublishAttempt, NoUsableKeyOrAKeyPast32767PostsNothing) {
  const auto plan = pq::PlanPublication({Edited(Doc("a.htm", "a"), "b")}, kRoot);
  PublishAttempt noKey(plan, "pw");
  noKey.Begin(false, 0, "The website did not hand out a valid pass key.");
  EXPECT_EQ(noKey.Next(), nullptr);
  EXPECT_EQ(noKey.ErrorMessage(), "The website did not hand out a valid pass key.");
  PublishAttempt tooLarge(plan, "pw");
  tooLarge.Begin(true, 32767, "");
  EXPECT_EQ(tooLarge.Next(), nullptr);
  EXPECT_EQ(tooLarge.Outcome(), PublishOutcome::Failed);
  EXPECT_FALSE(tooLarge.ErrorMessage().empty());
}

TEST(PublishAttempt, NothingChangedSucceedsWithoutAKey) {
  PublishAttempt attempt(pq::PlanPublication({Doc("a.htm", "a")}, kRoot), "pw");
  attempt.Begin(false, 0, "no key");
  EXPECT_EQ(attempt.Next(), nullptr);
  EXPECT_EQ(attempt.Outcome(), PublishOutcome::Succeeded);
}

}  // namespace

// A second editor published the page after it was opened: nothing is posted over it.
TEST(PublishAttempt, APageChangedOnTheWebsiteIsNeverOverwritten) {
  const std::string source = "<html><body><p>a</p></body></html>";
  const std::string address = kRoot + "/a.htm";
  const struct {
    const char* name;
    std::optional<std::string> current;  // the page as the website serves it now
    PublishOutcome outcome;
  } cases[] = {
      {"unchanged", source, PublishOutcome::Succeeded},
      {"changed by another editor", source + "\n<!-- new hours -->", PublishOutcome::Conflict},
      {"not fetched: left to the site script", std::nullopt, PublishOutcome::Succeeded},
  };
  for (const auto& c : cases) {
    PublishAttempt attempt(pq::PlanPublication({Edited(Doc("a.htm", "a"), "b")}, kRoot), "pw");
    std::vector<std::string> asked;
    attempt.CompareWithWebsite([&](const std::string& url) {
      asked.push_back(url);
      return c.current;
    });
    EXPECT_EQ(asked, std::vector<std::string>{address}) << c.name;
    // No pass key is asked for when nothing will be posted.
    if (c.outcome == PublishOutcome::Conflict) attempt.Begin(false, 0, "");
    else attempt.Begin(true, 0, "");
    if (attempt.Next()) attempt.Judge("@@Updated@@");
    EXPECT_EQ(attempt.Outcome(), c.outcome) << c.name;
    if (c.outcome == PublishOutcome::Conflict) {
      EXPECT_EQ(attempt.Next(), nullptr);
      EXPECT_TRUE(attempt.Stored().empty());
      EXPECT_NE(attempt.ErrorMessage().find("changed on the website"), std::string::npos);
      EXPECT_NE(attempt.ErrorMessage().find("a.htm"), std::string::npos);
    }
  }
}

// The site script's own check answers a conflict: nothing more is sent, and the frame stored
// before it is named.
TEST(PublishAttempt, AConflictReplyStopsTheAttempt) {
  PublishAttempt attempt(
      pq::PlanPublication({Doc("frames.htm", "t"), Edited(Doc("m.htm", "m"), "M"),
                           Edited(Doc("n.htm", "n"), "N")},
                          kRoot),
      "pw");
  attempt.Begin(true, 0, "");
  attempt.Judge("@@Updated@@");
  attempt.Judge("<html>@@Conflict@@The page was changed since it was opened.@@</html>");
  EXPECT_EQ(attempt.Next(), nullptr);
  EXPECT_EQ(attempt.Outcome(), PublishOutcome::Conflict);
  EXPECT_EQ(attempt.Conflicts(), std::vector<std::string>{"n.htm"});
  const std::string m = attempt.ErrorMessage();
  EXPECT_NE(m.find("already published: m.htm"), std::string::npos) << m;
}

// After a publication the website holds what was posted: publishing again without typing posts
// nothing, and further typing is posted on top of the publication, not the page first opened.
TEST(FollowEarlierPublications, SecondPublishPostsOnlyNewChanges) {
  auto plan = pq::PlanPublication({Edited(Doc("a.htm", "a"), "b"), Edited(Doc("c.htm", "c"), "d")},
                                  kRoot);
  ASSERT_EQ(plan.jobs.size(), 2u);
  pq::EarlierPublications earlier;
  earlier[kRoot + "/a.htm"] = plan.jobs[0].html;  // published as it stands
  earlier[kRoot + "/c.htm"] = "<html><body><p>x</p></body></html>";
  pq::FollowEarlierPublications(plan, earlier);
  ASSERT_EQ(plan.jobs.size(), 1u);
  EXPECT_EQ(plan.jobs[0].file, "c.htm");
  EXPECT_EQ(plan.jobs[0].base, pq::MD5HexOfBytes("<html><body><p>x</p></body></html>"));
}

namespace {

// A page prepared as the program prepares it, with span `id` given new contents.
pq::PublishDocument Prepared(const std::string& source, const std::string& id,
                             const std::string& html) {
  pq::PublishDocument d = Prepared(source);
  d.live.elements.at(id).innerHTML = html;
  return d;
}

std::pair<std::size_t, std::size_t> SourceRangeOf(const pq::PublishDocument& d, const std::string& id) {
  for (const auto& s : d.layout->spans)
    if (s.Id() == id) return {s.sourceBegin, s.sourceEnd};
  ADD_FAILURE() << "no span " << id;
  return {0, 0};
}

}  // namespace

// What is published is the source with the edited span's range replaced, and nothing else:
// no text diff can move neighbouring text or rewrite spaces elsewhere on the page.
TEST(PublishedHTML, OnlyTheEditedSpansRangeChanges) {
  std::string manyParagraphs = "<html><body>";
  for (int i = 0; i < 800; ++i) manyParagraphs += "<p>x </p>";
  manyParagraphs += "</body></html>\n";
  const struct {
    const char* name;
    std::string source;
    std::string id;
    std::string typed;
    std::string expected;  // "" : the source with the span's range replaced by `typed`
  } cases[] = {
      {"a span ending in two spaces before one ending in one",
       "<html><body>Welcome! <h2>News  </h2>Sale </body></html>\n", "ZZZEDIT2", "Closed on Monday.",
       "<html><body>Welcome! <h2>Closed on Monday.</h2>Sale </body></html>\n"},
      {"the first of 800 spans ending in a space", manyParagraphs, "ZZZEDIT1", "y&nbsp;", ""},
      {"the last of 800", manyParagraphs, "ZZZEDIT800", "z&nbsp;", ""},
      {"typed before the marker's space", "<p>Open daily </p><p>Call us</p>", "ZZZEDIT1",
       "Open daily now&nbsp;", "<p>Open daily now </p><p>Call us</p>"},
  };
  for (const auto& c : cases) {
    const pq::PublishDocument d = Prepared(c.source, c.id, c.typed);
    std::string error;
    const auto html = pq::PublishedHTML(d, error);
    ASSERT_TRUE(html) << c.name << ": " << error;
    if (!c.expected.empty()) {
      EXPECT_EQ(*html, c.expected) << c.name;
      continue;
    }
    const auto [from, to] = SourceRangeOf(d, c.id);
    EXPECT_EQ(html->substr(0, from), c.source.substr(0, from)) << c.name;
    EXPECT_EQ(html->substr(html->size() - (c.source.size() - to)), c.source.substr(to)) << c.name;
    // The marker's closing "&nbsp;" stands for the source's own space.
    EXPECT_EQ(html->substr(from, html->size() - c.source.size() + to - from),
              std::string(1, c.typed[0]) + " ")
        << c.name;
  }
}

// A changed span whose place in the source cannot be found is refused, never published by
// rewriting the page from its text.
TEST(PublishedHTML, ASpanWithoutAnExactPlaceIsRefused) {
  pq::PublishDocument d = Prepared("<p>one</p><p>two</p>", "ZZZEDIT2", "three");
  d.layout->spans.back().sourceBegin = 100;
  d.layout->spans.back().sourceEnd = 90;
  std::string error;
  EXPECT_FALSE(pq::PublishedHTML(d, error));
  EXPECT_NE(error.find("ZZZEDIT2"), std::string::npos) << error;
  const auto plan = pq::PlanPublication({d}, kRoot);
  EXPECT_TRUE(plan.jobs.empty());
  EXPECT_NE(plan.error.find("Nothing was published"), std::string::npos) << plan.error;
}

// Links read as a browser reads them: a "<" that opens no tag is text, any end tag the
// tokenizer accepts ends the link, a link without one stops at the next link, and an "<html"
// in a link's text is not taken for the page's own tag. Editing one link changes its text only.
TEST(PublishedHTML, EditingALinkChangesOnlyItsText) {
  const struct {
    const char* name;
    std::string source;
    std::string id;
    std::string was, now;
  } cases[] = {
      {"a bare < in the text",
       "<p><a href=\"a.htm\">Sizes < 10</a></p><p>Important paragraph.</p><p><a href=\"b.htm\">Next page</a></p>",
       "ZZZANCHOR1", "Sizes < 10", "Sizes under 10"},
      {"the next link after a bare <",
       "<p><a href=\"a.htm\">Sizes < 10</a></p><p>Important paragraph.</p><p><a href=\"b.htm\">Next page</a></p>",
       "ZZZANCHOR2", "Next page", "Next page!"},
      {"an end tag with a space", "<p><a href=\"a.htm\">One</a ><a href=\"b.htm\">Two</a></p>",
       "ZZZANCHOR1", "One", "First"},
      {"an end tag across a line", "<p><a href=\"a.htm\">One</a\n><p>Keep</p><a href=\"b.htm\">Two</a></p>",
       "ZZZANCHOR2", "Two", "Second"},
      {"a link that never ends, then another",
       "<p><a href=\"a.htm\">One<p>Keep this</p><a href=\"b.htm\">Two</a></p>", "ZZZANCHOR2", "Two",
       "Second"},
      {"<html> in a link's text", "Hello <a href=\"tags.htm\">The <html> tag</a>", "ZZZANCHOR1",
       "The <html> tag", "The html tag"},
      {"a link that never ends, then <a> without attributes",
       "<p><a href=\"x.htm\">One<a>Two</a> x</p><a href=\"y.htm\">Three</a>", "ZZZANCHOR2", "Three",
       "Third"},
      {"a control character in the link's start tag",
       "<p><a h\x01ref=\"a.htm\">Old</a></p>", "ZZZANCHOR1", "Old", "New"},
      {"a byte that is no UTF-8 in the link's address (read as U+FFFD) stays as it was",
       "<p><a href=\"a\xFF.htm\">Old</a></p>", "ZZZANCHOR1", "Old", "New"},
  };
  for (const auto& c : cases) {
    pq::PublishDocument d = Prepared(*pq::DecodeText(c.source, "utf-8"), c.id, "");
    d.sourceBytes = c.source;
    d.live = *d.recorded;
    d.live.elements.at(c.id).editableLinks = {c.now};
    EXPECT_EQ(pq::GetMarker(d.editHTML, "FullPath"), kRoot + "/p.htm") << c.name;
    std::string error;
    const auto html = pq::PublishedHTML(d, error);
    ASSERT_TRUE(html) << c.name << ": " << error;
    std::string expected = c.source;
    const auto at = expected.find(c.was);
    expected.replace(at, c.was.size(), c.now);
    EXPECT_EQ(*html, expected) << c.name;
  }
}

// Inside an edited span only what the user changed is written anew: references, typographic
// characters, line ends and tags the user did not touch keep the page's own bytes. Where the
// span cannot be aligned with its source, the whole span is replaced, and nothing outside it.
TEST(PublishedHTML, AnEditedSpanKeepsItsOwnBytesOutsideTheTyping) {
  const struct {
    const char* name;
    std::string charset;
    std::string span;              // the edit span's source, as the page's text
    std::string recorded, now;     // its contents as the engine serialises them
    std::string expected;          // the span as published, in the page's bytes
  } cases[] = {
      {"typographic characters in UTF-8", "utf-8", "Acme\u2122 tools \u2022 cheap here",
       "Acme\u2122 tools \u2022 cheap here", "Acme\u2122 tools \u2022 cheap QZhere",
       "Acme\u2122 tools \u2022 cheap QZhere"},
      {"references as written", "utf-8", "Caf&eacute; &amp; bar &#8364;5 &#150; here",
       "Caf\u00e9 &amp; bar \u20ac5 \u2013 here", "Caf\u00e9 &amp; bar \u20ac5 \u2013 there",
       "Caf&eacute; &amp; bar &#8364;5 &#150; there"},
      {"line ends and tags", "utf-8", "Line one\r\n  <B>bold</B> end\n",
       "Line one\n  <b>bold</b> end\n", "Line one\n  <b>bold</b> ending\n",
       "Line one\r\n  <B>bold</B> ending\n"},
      {"windows-1252 bytes beside the typing", "windows-1252", "Acme\u2122 \u2018tools\u2019 here",
       "Acme\u2122 \u2018tools\u2019 here", "Acme\u2122 \u2018tools\u2019 h\u00e9re",
       "Acme\x99 \x91tools\x92 h\xe9re"},
      {"typed characters the set cannot hold", "windows-1252", "Price: 5 here",
       "Price: 5 here", "Price: 5 \u2192 here", "Price: 5 &#8594; here"},
      {"typed at the start of a span", "utf-8", "&copy; 2024", "\u00a9 2024", "New \u00a9 2024",
       "New &copy; 2024"},
      // The engine writes the carriage return that "&#13;" stands for as the raw character.
      {"a carriage return as a reference", "utf-8", "&#13;\tThomas <B>x</B>", "\r\tThomas <b>x</b>",
       "QZ\r\tThomas <b>x</b>", "QZ&#13;\tThomas <B>x</B>"},
      {"an unknown reference: the whole span", "utf-8", "x &frob; y", "x &amp;frob; y",
       "x &amp;frob; z", "x &amp;frob; z"},
  };
  for (const auto& c : cases) {
    const std::string source = "<html><body><p>" + c.span + "</p><p>Keep &eacute;</p></body></html>";
    PublishDocument d = Prepared(source);
    d.charset = c.charset;
    d.sourceBytes = pq::EncodeText(source, c.charset).value_or("");
    d.recorded->elements.at("ZZZEDIT1").innerHTML = c.recorded;
    d.live.elements.at("ZZZEDIT1").innerHTML = c.now;
    std::string error;
    const auto html = pq::PublishedHTML(d, error);
    ASSERT_TRUE(html) << c.name << ": " << error;
    const std::string bytes = pq::EncodeText("<html><body><p>", c.charset).value_or("") + c.expected +
                              pq::EncodeText("</p><p>Keep &eacute;</p></body></html>", c.charset).value_or("");
    EXPECT_EQ(*html, bytes) << c.name;
  }
}

// A post whose reply was lost or cut short is neither "failed" nor "published" until the
// website has been asked: the very bytes posted mean stored.
TEST(PublishAttempt, AnUnansweredPostIsJudgedFromTheWebsite) {
  for (const char* reply : {"", "Up", "<html><body>Gateway Timeout</body></html>", "@@Updat"})
    EXPECT_FALSE(PublishAttempt::IsSiteScriptReply(reply)) << reply;
  for (const char* reply : {"<p>@@Updated@@</p>", "@@Wrong password@@"})
    EXPECT_TRUE(PublishAttempt::IsSiteScriptReply(reply)) << reply;

  const auto plan = pq::PlanPublication({Edited(Doc("a.htm", "a"), "b")}, kRoot);
  ASSERT_EQ(plan.jobs.size(), 1u);
  const std::string posted = plan.jobs[0].html;
  const struct {
    const char* name;
    std::optional<std::string> current;
    PublishOutcome outcome;
    const char* says;
  } cases[] = {
      {"stored before the reply was lost", posted, PublishOutcome::Succeeded, ""},
      {"not stored", std::string("<html><body><p>a</p></body></html>"), PublishOutcome::Failed,
       "were not published"},
      {"cannot be checked", std::nullopt, PublishOutcome::Failed, "could not check"},
  };
  for (const auto& c : cases) {
    PublishAttempt attempt(plan, "pw");
    attempt.Begin(true, 0, "");
    attempt.JudgeFromWebsite(c.current);
    EXPECT_EQ(attempt.Outcome(), c.outcome) << c.name;
    EXPECT_NE(attempt.ErrorMessage().find(c.says), std::string::npos) << attempt.ErrorMessage();
    EXPECT_EQ(attempt.Stored().size(), c.outcome == PublishOutcome::Succeeded ? 1u : 0u) << c.name;
  }
}

namespace {

// A Cancel at any moment of an attempt over three documents (a top page and two frames), as the
// steps the Publish form takes: B key handed out, b no key (the request was aborted), C Cancel,
// U stored, W refused by the site script, and the verdict on a post the Cancel aborted from
// the page as the website has it: S the very bytes posted, O the old page, N it cannot be told.
TEST(PublishAttempt, ACancelAtAnyMomentTellsWhatWasStoredNotStoredAndUnknown) {
  const auto plan = pq::PlanPublication({Edited(Doc("frames.htm", "t"), "T"),
                                         Edited(Doc("m.htm", "m"), "M"),
                                         Edited(Doc("n.htm", "n"), "N")},
                                        kRoot);
  ASSERT_EQ(plan.jobs.size(), 3u);
  const std::string unknownTail = " Open them on the website to see which version it has.";
  const struct {
    const char* name;
    const char* steps;
    PublishOutcome outcome;
    std::vector<std::string> stored;
    std::string message;
  } cases[] = {
      {"during the pass-key request", "Cb", PublishOutcome::Cancelled, {},
       "Publishing was cancelled. Nothing was published.\n\n"
       "These pages were not published: frames.htm, m.htm, n.htm."},
      {"the key came as Cancel was pressed", "CB", PublishOutcome::Cancelled, {},
       "Publishing was cancelled. Nothing was published.\n\n"
       "These pages were not published: frames.htm, m.htm, n.htm."},
      {"first post aborted before the store", "BCO", PublishOutcome::Cancelled, {},
       "Publishing was cancelled. Nothing was published.\n\n"
       "These pages were not published: frames.htm, m.htm, n.htm."},
      {"first post aborted after the store", "BCS", PublishOutcome::Cancelled, {"frames.htm"},
       "Publishing was cancelled. These pages were already published: frames.htm.\n\n"
       "These pages were not published: m.htm, n.htm."},
      {"first post aborted, the website cannot be asked", "BCN", PublishOutcome::Cancelled, {},
       "Publishing was cancelled.\n\nThese pages were not published: m.htm, n.htm.\n\n"
       "Pagequill could not check whether these pages were published: frames.htm." + unknownTail},
      {"second post aborted, the website cannot be asked", "BUCN", PublishOutcome::Cancelled,
       {"frames.htm"},
       "Publishing was cancelled. These pages were already published: frames.htm.\n\n"
       "These pages were not published: n.htm.\n\n"
       "Pagequill could not check whether these pages were published: m.htm." + unknownTail},
      {"last post aborted before the store", "BUUCO", PublishOutcome::Cancelled,
       {"frames.htm", "m.htm"},
       "Publishing was cancelled. These pages were already published: frames.htm, m.htm.\n\n"
       "These pages were not published: n.htm."},
      {"last post aborted after the store: nothing was stopped", "BUUCS",
       PublishOutcome::Succeeded, {"frames.htm", "m.htm", "n.htm"}, ""},
      {"a frame refused, then Cancel", "BUWC", PublishOutcome::Cancelled, {"frames.htm"},
       "Publishing was cancelled. These pages were already published: frames.htm.\n\n"
       "These pages were not published:\nm.htm: Wrong password\nn.htm"},
  };
  for (const auto& c : cases) {
    PublishAttempt attempt(plan, "pw");
    std::size_t sent = 0;  // the job under way
    for (const char* step = c.steps; *step; ++step) {
      const std::string posted = sent < plan.jobs.size() ? plan.jobs[sent].html : "";
      switch (*step) {
        case 'B': attempt.Begin(true, 0, ""); break;
        case 'b': attempt.Begin(false, 0, "The website did not answer when asked for a pass key."); break;
        case 'C':
          attempt.Cancel();
          EXPECT_EQ(attempt.Next(), nullptr) << c.name << ": nothing more is sent";
          break;
        case 'U': attempt.Judge("@@Updated@@"); ++sent; break;
        case 'W': attempt.Judge("@@Wrong password@@"); ++sent; break;
        case 'S': attempt.JudgeAborted(posted); break;
        case 'O': attempt.JudgeAborted(std::string("<html>the old page</html>")); break;
        case 'N': attempt.JudgeAborted(std::nullopt); break;
      }
    }
    EXPECT_EQ(attempt.Outcome(), c.outcome) << c.name;
    EXPECT_EQ(attempt.Stored(), c.stored) << c.name;
    EXPECT_EQ(attempt.ErrorMessage(), c.message) << c.name;
    EXPECT_EQ(attempt.Cancelled(), c.outcome == PublishOutcome::Cancelled) << c.name;
  }

  // A page that cannot be written is still said so when Cancel came first, never "published".
  pq::PublishPlan unwritable;
  unwritable.error = "Nothing was published.\nwide.htm: UTF-16 pages cannot be published.";
  PublishAttempt early(unwritable, "pw");
  early.Cancel();
  early.Begin(false, 0, "");
  EXPECT_EQ(early.Outcome(), PublishOutcome::Failed);
  EXPECT_EQ(early.ErrorMessage(), unwritable.error);
}

// Without a Cancel, a post with no reply that tells names the step that failed before what the
// check of the website found.
TEST(PublishAttempt, AnUnansweredPostNamesTheStepThatFailed) {
  const auto plan = pq::PlanPublication({Edited(Doc("a.htm", "a"), "b")}, kRoot);
  const std::string happened = "The website did not answer the post of your changes in time.";
  PublishAttempt notStored(plan, "pw");
  notStored.Begin(true, 0, "");
  notStored.JudgeFromWebsite(std::string("<html>old</html>"), happened);
  EXPECT_EQ(notStored.ErrorMessage(),
            happened + " The page on the website is not your version: your changes were not "
                       "published.");
  PublishAttempt unknown(plan, "pw");
  unknown.Begin(true, 0, "");
  unknown.JudgeFromWebsite(std::nullopt, happened);
  EXPECT_EQ(unknown.Outcome(), PublishOutcome::Failed);
  EXPECT_EQ(unknown.ErrorMessage(),
            happened + " Pagequill could not check whether your changes were published. Open "
                       "the page to see which version the website has.");
}

}  // namespace
