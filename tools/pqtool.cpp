// pqtool: the page-preparation and protocol operations from the command line, for site
// designers and tests. Pages come on standard input, results go to standard output.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/http_fetch.h"
#include "pageprep/add_spans.h"
#include "pageprep/page_edit_flag.h"
#include "pageprep/restore_html.h"
#include "pageprep/time_stamp.h"
#include "pageprep/url_ops.h"
#include "publishing/md5.h"

namespace {

constexpr const char* kUsage =
    "usage: pqtool addspans | strip-markers | edit-flag | md5 [TEXT] | fetch URL |\n"
    "              full-path URL | site-root URL | relative-path URL ROOT | stamp | --help\n";

constexpr const char* kHelp =
    "pqtool: Pagequill's page operations from the command line.\n"
    "\n"
    "  addspans              read a page, write it with its edit and anchor spans\n"
    "  strip-markers         read an edit copy, write it without markers and span tags\n"
    "  edit-flag             read a page, write its pqedit META value (Y, N or nothing)\n"
    "  md5 [TEXT]            MD5 of TEXT (or of standard input) as the site script hashes it\n"
    "  fetch URL             fetch URL without any cache and write its text (UTF-8)\n"
    "  full-path URL         the page file an address shows (folders through index.htm/.html)\n"
    "  site-root URL         http:// and the host of URL\n"
    "  relative-path URL ROOT  the path of URL below ROOT, as the site script receives it\n"
    "  stamp                 the request stamp DDMMYYYYhhmmss of now\n"
    "\n"
    "Exit status: 0 done, 1 the operation failed (an answer other than 2xx included),\n"
    "2 wrong call.\n";

std::string ReadAll() {
  std::ios::sync_with_stdio(false);
  return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
}

// A wrong call says what was wrong, then how to call.
int Usage(const std::string& problem) {
  std::cerr << "pqtool: " << problem << "\n" << kUsage;
  return 2;
}

// What a command expects after its name, for the message of a wrong call.
struct Command {
  const char* name;
  std::size_t least, most;
  const char* arguments;  // "" for none
};
constexpr Command kCommands[] = {
    {"addspans", 0, 0, ""},          {"strip-markers", 0, 0, ""}, {"edit-flag", 0, 0, ""},
    {"md5", 0, 1, "at most one TEXT"}, {"fetch", 1, 1, "one URL"},  {"full-path", 1, 1, "one URL"},
    {"site-root", 1, 1, "one URL"},  {"relative-path", 2, 2, "URL and ROOT"},
    {"stamp", 0, 0, ""},             {"--help", 0, 0, ""},        {"-h", 0, 0, ""},
    {"help", 0, 0, ""},
};

// "" when the call is right, else what is wrong with it.
std::string CallProblem(const std::vector<std::string>& args) {
  if (args.empty()) return "no command given";
  for (const Command& c : kCommands) {
    if (args[0] != c.name) continue;
    const std::size_t n = args.size() - 1;
    if (n >= c.least && n <= c.most) return "";
    const std::string wanted = *c.arguments ? c.arguments : "no arguments";
    return args[0] + " takes " + wanted + " (got " + std::to_string(n) +
           (n == 1 ? " argument)" : " arguments)");
  }
  return "unknown command \"" + args[0] + "\"";
}

int Fail(const std::string& message) {
  std::cerr << "pqtool: " << message << "\n";
  return 1;
}

int Print(const std::string& text, bool newline = true) {
  std::cout << text;
  if (newline) std::cout << "\n";
  std::cout.flush();
  return std::cout ? 0 : Fail("could not write the output");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (const std::string problem = CallProblem(args); !problem.empty()) return Usage(problem);
  const std::string& cmd = args[0];
  const std::size_t n = args.size() - 1;

  if (cmd == "--help" || cmd == "-h" || cmd == "help") return Print(kHelp, false);
  if (cmd == "addspans" && n == 0) return Print(pq::AddSpans(ReadAll()), false);
  if (cmd == "strip-markers" && n == 0) return Print(pq::StripMarkers(ReadAll()), false);
  if (cmd == "edit-flag" && n == 0) return Print(pq::PageEditFlag(ReadAll()));
  if (cmd == "md5" && n <= 1) return Print(pq::MD5Hex(n == 1 ? args[1] : ReadAll()));
  if (cmd == "stamp" && n == 0) return Print(pq::MakeTimeStamp());
  if (cmd == "site-root" && n == 1) return Print(pq::SiteRootOf(args[1]));
  if (cmd == "relative-path" && n == 2) return Print(pq::RelativePathOf(args[1], args[2]));
  if (cmd == "fetch" && n == 1) {
    const auto r = pq::engine::FetchURL(args[1]);
    if (!r.ok) return Fail("could not fetch " + args[1] + " (no answer)");
    // An error page is not the page asked for: a script must not take it for one.
    if (r.status < 200 || r.status > 299)
      return Fail("could not fetch " + args[1] + " (the server answered " +
                  std::to_string(r.status) + ")");
    return Print(r.text, false);
  }
  if (cmd == "full-path" && n == 1) {
    const std::string path = pq::FullPathOf(args[1], pq::engine::GetURLText);
    if (path.empty()) return Fail("no page file found for " + args[1]);
    return Print(path);
  }
  return Usage("unknown command \"" + cmd + "\"");  // not reached: CallProblem knows them all
}
