#include "text/html_text.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(HtmlTextContentTest, TheTextABrowserShows) {
  struct Case {
    const char* html;
    const char* text;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"<b>Bold</b> <i>word</i>", "Bold word"},
      // As a browser copies a selection: with its header and fragment comments.
      {"<meta charset=\"utf-8\"><html><body><!--StartFragment--><span style=\"color:red\">Fresh "
       "bread</span><!--EndFragment--></body></html>",
       "Fresh bread"},
      {"  many \n\t  blanks   collapse  ", "many blanks collapse"},
      {"one<br>two<BR/>three", "one\ntwo\nthree"},
      {"<p>one</p><p>two</p>", "one\ntwo"},
      {"<div>a<div>b</div>c</div>", "a\nb\nc"},
      {"<ul><li>x</li><li>y</li></ul>", "x\ny"},
      {"<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>", "1 2\n3"},
      {"&lt;b&gt; &amp;amp; &quot;q&quot; caf&eacute; &#8364; &#x20AC; &euro;", "<b> &amp; \"q\" café € € €"},
      {"a&nbsp;b", "a\xC2\xA0" "b"},
      {"&unknown; & alone &#0; &#xD800;", "&unknown; & alone \xEF\xBF\xBD \xEF\xBF\xBD"},
      {"<script>alert('<b>x</b>')</script>kept<style>p{}</style>", "kept"},
      {"<head><title>T</title></head><body>body</body>", "body"},
      {"<!-- hidden <b>x</b> -->shown", "shown"},
      {"<pre>  two\n  lines</pre>", "  two\n  lines"},
      {"<a href=\"x>y\" title='a>b'>link</a>", "link"},
      {"1 < 2 and <3", "1 < 2 and <3"},
      {"<!DOCTYPE html><?xml version=\"1.0\"?>text", "text"},
      {"<img src=a.png alt=picture>", ""},
      {"unterminated <b", "unterminated"},
      {"<script>never closed", ""},
      // Control characters, raw or referenced, are never pasted; referenced white space collapses.
      {"a\x01" "b&#7;c&#x9F;d&#10;&#10;e", "abcd e"},
      {"<pre>x&#10;y</pre>", "x\ny"},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlTextContent(c.html), c.text) << c.html;
}

}  // namespace
}  // namespace pq
