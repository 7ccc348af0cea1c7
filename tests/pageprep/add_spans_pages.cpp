#include "add_spans_pages.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "support/file_text.h"

namespace pqtest {
namespace {

constexpr std::array<std::string_view, 38> kFormatAndLineBreaks{
    "<b>", "</b>", "<B>", "</B>", "<strong>", "</strong>", "<STRONG>", "</Strong>",
    "<i>", "</i>", "<I>", "</I>", "<u>", "</u>", "<U>", "</U>", "<em>", "</em>",
    "<EM>", "</EM>", "<cite>", "</cite>", "<CITE>", "</Cite>", "<br>", "<BR>",
    "<Br>", "<BR/>", "<br />", "<br clear=all>", "<b class=x>", "<font face=Arial>",
    "</font>", "<b >", "</b >", "<i>", "</i>", "<b>"};

constexpr std::array<std::string_view, 40> kStructural{
    "<p>", "</p>", "<P>", "<td>", "</td>", "<TD>", "<tr>", "</tr>", "<table border=1>",
    "</table>", "<div class=\"box\">", "</div>", "<DIV>", "<h1>", "</h1>", "<li>",
    "<img src=\"a.gif\" alt=\"a > b\">", "<img src='x.gif' alt='>>'>",
    "<input type=text value=\">\">", "<img alt = \"it's > that\">",
    "<font face='Arial>Stray", "<span title=\"<b>x</b>\">", "</span>", "<hr>", "<HR>",
    "<body bgcolor=white>", "</body>", "<html>", "</html>", "<head>", "</head>",
    "<form action=\"/x\">", "</form>", "<frame src=a.htm>", "<option>", "<center>",
    "</center>", "<meta content=\"a>b\" name=x>", "<td onclick=\"if(a<b)x()\">",
    "<p title='don>t'>"};

constexpr std::array<std::string_view, 16> kLinks{
    "<a href=x.htm>", "<A HREF=\"y.htm\">", "<a\nhref=z.htm>", "<a\thref='q>r.htm'>",
    "<a\rname=top>", "<a>", "<A>", "</a>", "</A>", "</a>", "<a href=\"</a>\">",
    "<a title=\"a > b\" href=u>", "<a  href=v>", "</a >", "<img alt=\"</a>\">",
    "<!-- </a> -->"};

constexpr std::array<std::string_view, 24> kSkipped{
    "<title>", "</title>", "<TITLE>Page</TITLE>", "<script>", "</script>",
    "<SCRIPT language=javascript>if (a < b) x = '</p>';</SCRIPT>", "<style>", "</style>",
    "<style>p { color: red }</style>", "<select>", "</select>",
    "<select name=s><option>One<option>Two</select>", "<!--", "-->", "<!-- note -->",
    "<!-- a <b>bold</b> -->", "<!>", "<!DOCTYPE html>",
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">", "<!-->", "<!--->", "<![CDATA[x]]>",
    "<!-- <!--DeletedText--> -->", "<?xml version=\"1.0\"?>"};

constexpr std::array<std::string_view, 34> kText{
    "Hello", "world", "Price:", "x", " ", " ", "  ", "\n", "\t", "\r\n", " \n ",
    "&nbsp;", "&nbsp;", "&amp;", "<!--DeletedText-->", "<!--DeletedText-->", "don't",
    "a > b", ">", "'", "\"", "=", "caf\xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC",
    "\xE2\x80\xA2 item", "Ma\xC3\x9F", "ESPN> ", "</SPANX>", "ZZXDELETEDZTEXTXXZ", "<",
    "One two three.", "\xFF\xFE", std::string_view("\0", 1), "<SPAN ID=\"ZZZEDIT9\">"};

constexpr std::array<std::string_view, 10> kEndings{
    "<a ", "<", "<title>never closed", "<!-- open", "<script>var a;", "<a href=x>open",
    "<b", "<style>", "<select><option>x", "text at the end"};

template <std::size_t N>
std::string_view Pick(std::mt19937& rng, const std::array<std::string_view, N>& from) {
  return from[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

}  // namespace

std::string RandomPage(std::mt19937& rng) {
  std::string page;
  std::uniform_int_distribution<int> kind(0, 99);
  const int tokens = std::uniform_int_distribution<int>(0, kind(rng) < 10 ? 400 : 60)(rng);
  for (int k = 0; k < tokens; ++k) {
    const int roll = kind(rng);
    if (roll < 30) page += Pick(rng, kText);
    else if (roll < 55) page += Pick(rng, kFormatAndLineBreaks);
    else if (roll < 78) page += Pick(rng, kStructural);
    else if (roll < 90) page += Pick(rng, kLinks);
    else page += Pick(rng, kSkipped);
  }
  if (kind(rng) < 20) page += Pick(rng, kEndings);
  if (kind(rng) < 10 && !page.empty())  // cut anywhere, even inside a tag or a UTF-8 sequence
    page.resize(std::uniform_int_distribution<std::size_t>(0, page.size() - 1)(rng));
  return page;
}

std::string RandomBytes(std::mt19937& rng) {
  static constexpr std::string_view kAlphabet = "<<<>>ab/!-- \n\t\"'=xriAB</b><br>";
  std::string s(std::uniform_int_distribution<int>(0, 24)(rng), ' ');
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  for (char& c : s) c = kAlphabet[pick(rng)];
  return s;
}

std::vector<std::pair<std::string, std::string>> FixturePages() {
  std::vector<std::pair<std::string, std::string>> pages;
  const std::filesystem::path dir = std::filesystem::path(PQ_SOURCE_DIR) / "tests/fixtures/pages";
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    pages.emplace_back(entry.path().filename().string(), pqtest::ReadFile(entry.path().string()));
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

}  // namespace pqtest
