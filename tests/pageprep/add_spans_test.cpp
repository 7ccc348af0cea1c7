#include "pageprep/add_spans.h"

#include <gtest/gtest.h>

#include "add_spans_reference.h"

namespace {

using pq::AddSpans;

struct Case {
  const char* name;
  std::string input;
  std::string want;
};

std::string Edit(int n, const std::string& text) {
  return "<SPAN ID=\"ZZZEDIT" + std::to_string(n) + "\">" + text + "</SPAN>";
}
std::string Anchor(int n, const std::string& text) {
  return "<SPAN ID=\"ZZZANCHOR" + std::to_string(n) + "\">" + text + "</SPAN>";
}

const Case kCases[] = {
    {"worked example: trailing space, link, text after the link",
     "<td> Price: <a href=x.htm>here</a> now</td>",
     "<td> " + Edit(1, "Price:&nbsp;") + Anchor(1, "<a href=x.htm>here</a>") + " " +
         Edit(2, "now") + "</td>"},
    {"a run holding format tags stays whole", "<p>Hello <b>world</b></p>",
     "<p>" + Edit(1, "Hello <b>world</b>") + "</p>"},
    {"format tags are recognised in upper case", "<P>Hello <B>world</B></P>",
     "<P>" + Edit(1, "Hello <B>world</B>") + "</P>"},
    {"no text between tags", "<html><body><p> </p>\n<td>\t</td></body></html>",
     "<html><body><p> </p>\n<td>\t</td></body></html>"},
    {"title, script, style, select and comments are never wrapped",
     "<title>T</title>After<p><script>a<b</script><style>p{}</style>"
     "<select><option>x</select><!-- c --><!--><!>",
     "<title>T</title>" + Edit(1, "After") +
         "<p><script>a<b</script><style>p{}</style><select><option>x</select><!-- c --><!--><!>"},
    {"a quoted > in the attribute of an end tag does not end it",
     "<title>T</title x=\"a>b\">After<script>s</script\n y='>'>Next",
     "<title>T</title x=\"a>b\">" + Edit(1, "After") + "<script>s</script\n y='>'>" +
         Edit(2, "Next")},
    {"upper-case link", "<p><A HREF=x>Go</A></p>", "<p>" + Anchor(1, "<A HREF=x>Go</A>") + "</p>"},
    {"link tag broken by a line feed, carriage return or tab",
     "<p><a\nhref=x>1</a><a\rhref=y>2</a><a\thref=z>3</a></p>",
     "<p>" + Anchor(1, "<a\nhref=x>1</a>") + Anchor(2, "<a\rhref=y>2</a>") +
         Anchor(3, "<a\thref=z>3</a>") + "</p>"},
    {"an A tag without attributes is an ordinary tag", "<p><a>Go</a></p>",
     "<p><a>" + Edit(1, "Go") + "</a></p>"},
    {"named anchors are wrapped like links", "<a name=top>Top</a>x<p>",
     Anchor(1, "<a name=top>Top</a>") + Edit(1, "x") + "<p>"},
    {"only format tags and whitespace", "<p><b> </b></p>", "<p><b> </b></p>"},
    {"&nbsp; alone is text", "<td>&nbsp;</td>", "<td>" + Edit(1, "&nbsp;") + "</td>"},
    {"a line break with a slash or attributes is structural",
     "<p>One<br/>Two<BR clear=all>Three</p>",
     "<p>" + Edit(1, "One") + "<br/>" + Edit(2, "Two") + "<BR clear=all>" + Edit(3, "Three") +
         "</p>"},
    {"text, break, text is one span", "<p>One<br>Two</p>", "<p>" + Edit(1, "One<br>Two") + "</p>"},
    {"a leading break stays outside", "<p><br>Two</p>", "<p><br>" + Edit(1, "Two") + "</p>"},
    {"a trailing break stays outside", "<p>One<BR></p>", "<p>" + Edit(1, "One") + "<BR></p>"},
    {"a space after a leading closer becomes &nbsp without semicolon", "<td></b> Hello</td>",
     "<td></b>" + Edit(1, "&nbspHello") + "</td>"},
    {"a trailing opener stays outside; the space before it becomes &nbsp;",
     "<p>Hello <b></p>", "<p>" + Edit(1, "Hello&nbsp;") + "<b></p>"},
    {"unbalanced opener and closer stay outside",
     "<p><b>Hello</p><p>world</b></p>",
     "<p><b>" + Edit(1, "Hello") + "</p><p>" + Edit(2, "world") + "</b></p>"},
    {"a format tag with attributes is structural", "<p>One<b class=x>Two</b></p>",
     "<p>" + Edit(1, "One") + "<b class=x>" + Edit(2, "Two") + "</b></p>"},
    {"the deleted-text marker after &nbsp; is kept inside the span",
     "<p>&nbsp;<!--DeletedText--></p>", "<p>" + Edit(1, "&nbsp;<!--DeletedText-->") + "</p>"},
    {"the deleted-text marker alone is text", "<p><!--DeletedText--></p>",
     "<p>" + Edit(1, "<!--DeletedText-->") + "</p>"},
    {"a quoted > does not end a tag", "<img alt=\"a > b\">Hi<p>",
     "<img alt=\"a > b\">" + Edit(1, "Hi") + "<p>"},
    {"a stray apostrophe runs to the next one, as the browser reads it (Hi is not shown)",
     "<font face='Arial>Hi</font><p>Don't</p><p>More</p>",
     "<font face='Arial>Hi</font><p>Don't</p><p>" + Edit(1, "More") + "</p>"},
    {"a quote that is never closed reaches the end", "<p>A<img alt=\"x>B</p>",
     "<p>" + Edit(1, "A") + "<img alt=\"x>B</p>"},
    {"a quote not after = is an ordinary character", "<img alt=Bob's>Hi<p>",
     "<img alt=Bob's>" + Edit(1, "Hi") + "<p>"},
    {"page text that spells a temporary marker is left alone",
     "<p>Watch ESPN> now ZZXDELETEDZTEXTXXZ</p><td>a </SPANX>b</td>",
     "<p>" + Edit(1, "Watch ESPN> now ZZXDELETEDZTEXTXXZ") + "</p><td>" + Edit(2, "a&nbsp;") +
         "</SPANX>" + Edit(3, "b") + "</td>"},
    {"text after the last tag runs to the end", "<p>text at end", "<p>" + Edit(1, "text at end")},
    {"the last character alone is never looked at", "<p>x", "<p>x"},
    {"unclosed comment reaches the end", "<p>Hi<!-- open <p>more",
     "<p>" + Edit(1, "Hi") + "<!-- open <p>more"},
    {"unclosed title, script, style and select reach the end", "<title>x <p>y",
     "<title>x <p>y"},
    {"a </a> inside a quoted value or a comment does not end the link",
     "<p><a href=x><img alt=\"</a>\">A<!-- </a> -->B</a>C</p>",
     "<p>" + Anchor(1, "<a href=x><img alt=\"</a>\">A<!-- </a> -->B</a>") + Edit(1, "C") + "</p>"},
    {"inside a tag the > of a format tag or a line break ends it",
     "<p><a x<b><a href=y>Go</a></p><a href=x>One</a?<br><a href=z>Two</a>",
     "<p>" + Anchor(1, "<a x<b>") + Anchor(2, "<a href=y>Go</a>") + "</p>" +
         Anchor(3, "<a href=x>One</a?<br>") + Anchor(4, "<a href=z>Two</a>")},
    {"the deleted-text marker's --> ends a comment it stands in",
     "<p><a href=x>One<!-- <!--DeletedText--><a href=y>Two</a> --></a></p>",
     "<p>" + Anchor(1, "<a href=x>One<!-- <!--DeletedText-->") + Anchor(2, "<a href=y>Two</a>") +
         " " + Edit(1, "-->") + "</a></p>"},
    {"an = or a quote where an attribute's name begins opens no value",
     "<a =\">\"<a href=y>Go</a>",
     Anchor(1, "<a =\">\"") + Anchor(2, "<a href=y>Go</a>")},
    {"a quoted > in the link tag", "<p><a title=\"a > b\" href=u>Go</a></p>",
     "<p>" + Anchor(1, "<a title=\"a > b\" href=u>Go</a>") + "</p>"},
    {"unclosed link reaches the end", "<p><a href=x>open end",
     "<p>" + Anchor(1, "<a href=x>open end")},
    {"empty input", "", ""},
    {"a lone <", "<", "<"},
    {"a trailing link start", "<p>x<a ", "<p>" + Edit(1, "x") + Anchor(1, "<a ")},
    {"NUL bytes and invalid UTF-8 are text", std::string("<p>a\0b\xFF</p>", 11),
     "<p>" + Edit(1, std::string("a\0b\xFF", 4)) + "</p>"},
    {"UTF-8 text", "<p>Caf\xC3\xA9 <i>M\xC3\xBCller</i></p>",
     "<p>" + Edit(1, "Caf\xC3\xA9 <i>M\xC3\xBCller</i>") + "</p>"},
};

TEST(AddSpans, Cases) {
  for (const Case& c : kCases) {
    EXPECT_EQ(AddSpans(c.input), c.want) << c.name;
    EXPECT_EQ(pqtest::ReferenceAddSpans(c.input), c.want) << "reference: " << c.name;
  }
}

TEST(AddSpans, NumbersRestartOnEveryCall) {
  const std::string page = "<p>One</p><a href=x>L</a><p>Two</p>";
  const std::string want =
      "<p>" + Edit(1, "One") + "</p>" + Anchor(1, "<a href=x>L</a>") + "<p>" + Edit(2, "Two") + "</p>";
  EXPECT_EQ(AddSpans(page), want);
  EXPECT_EQ(AddSpans(page), want);
}

}  // namespace

// Text the parser reads as raw text (a text box's contents, xmp, iframe, noembed, noframes,
// plaintext) gets no spans: they would show as markup in the box.
TEST(AddSpans, RawTextElementsGetNoSpans) {
  const struct {
    std::string page;
    std::string marked;
  } cases[] = {
      {"<textarea name=w>Happy birthday!</textarea>", "<textarea name=w>Happy birthday!</textarea>"},
      {"<TEXTAREA>a</TEXTAREA>bc", "<TEXTAREA>a</TEXTAREA><SPAN ID=\"ZZZEDIT1\">bc</SPAN>"},
      {"<xmp><b>x</b></xmp>", "<xmp><b>x</b></xmp>"},
      {"<iframe src=f.htm>No frames</iframe>", "<iframe src=f.htm>No frames</iframe>"},
      {"<noembed>n</noembed><noframes>f</noframes>", "<noembed>n</noembed><noframes>f</noframes>"},
      {"a<plaintext>b <p>c", "<SPAN ID=\"ZZZEDIT1\">a</SPAN><plaintext>b <p>c"},
      {"<textareax>t</textareax>", "<textareax><SPAN ID=\"ZZZEDIT1\">t</SPAN></textareax>"},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::AddSpans(c.page), c.marked) << c.page;
}
