#include "editor/formatting.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(TrimBRs, TrimsBreaksAndBlanksAtBothEndsOnly) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"<BR> Hello<br>world<br><br>\r\n", "Hello<br>world"},
      {"<br/>Hello", "<br/>Hello"},  // only the exact tag counts
      {"Hello<br />", "Hello<br />"},
      {"<br class=x>Hi<Br>", "<br class=x>Hi"},
      {"\t<bR>\n<br> x </BR>", "x </BR>"},
      {"<br><br>\r\n", ""},
      {"", ""},
      {"<br", "<br"},
      {"a b", "a b"},
  };
  for (const Case& c : cases) EXPECT_EQ(TrimBRs(c.in), c.out) << c.in;
}

TEST(PlainTextToHtml, EscapesEachCharacterOnceAndEachLineBreakIsOneBr) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"a <b>&amp;</b> \"q\"", "a &lt;b&gt;&amp;amp;&lt;/b&gt; &quot;q&quot;"},
      {"one\r\ntwo", "one<br>two"},
      {"one\ntwo\rthree\r\n\r\n", "one<br>two<br>three<br><br>"},
      {"\n\r", "<br><br>"},  // LF then CR: two breaks
      {"caf\xC3\xA9 &", "caf\xC3\xA9 &amp;"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PlainTextToHtml(c.in), c.out) << c.in;
}

TEST(TidySpan, TouchesOnlySpansTheUserChanged) {
  // Unchanged: white space and breaks stay exactly as the page had them.
  auto t = TidySpan("\n  Welcome<br>", "Welcome", "\n  Welcome<br>");
  EXPECT_FALSE(t.html);
  EXPECT_FALSE(t.empty);
  // Changed: the engine's placeholder and typed breaks at the ends go.
  t = TidySpan("Welcome home<br><br>", "Welcome home\n\n", "Welcome");
  EXPECT_EQ(t.html, "Welcome home");
  t = TidySpan("Welcome home", "Welcome home", "Welcome");
  EXPECT_FALSE(t.html);
  // Nothing but breaks left: empty, so it becomes the initial control.
  t = TidySpan("<br><br>", "\n\n", "Welcome");
  EXPECT_EQ(t.html, "");
  EXPECT_TRUE(t.empty);
  t = TidySpan("&nbsp;", "\xC2\xA0", "Welcome");
  EXPECT_TRUE(t.empty);
}

TEST(TrimBlanks, KeepsInnerBlanks) {
  EXPECT_EQ(TrimBlanks(" \xC2\xA0 a b \n"), "a b");
  EXPECT_EQ(TrimBlanks("\xC2\xA0"), "");
}

}  // namespace
}  // namespace pq
