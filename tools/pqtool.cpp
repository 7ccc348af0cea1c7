// pqtool: the page-preparation and protocol operations from the command line, for site
// designers and tests. Pages come on standard input, results go to standard output.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/form_post.h"
#include "engine/http_fetch.h"
#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "text/page_decoding.h"
#include "text/page_encoding.h"
#include "pageprep/page_edit_flag.h"
#include "pageprep/restore_html.h"
#include "pageprep/time_stamp.h"
#include "pageprep/url_ops.h"
#include "publishing/md5.h"
#include "publishing/publish_flow.h"
#include "publishing/publishable_page.h"
#include "publishing/site_check.h"
#include "publishing/site_readiness.h"
#include "publishing/site_replies.h"

namespace {

constexpr const char* kUsage =
    "usage: pqtool addspans | strip-markers | edit-flag | md5 [TEXT] | fetch URL |\n"
    "              full-path URL | site-root URL | relative-path URL ROOT | stamp |\n"
    "              publishable (FILE | - | --url URL) [--charset NAME] [--span ID=HTML]... |\n"
    "              check-site URL [--password] | --help\n";

constexpr const char* kHelp =
    "pqtool: Pagequill's page operations from the command line.\n"
    "\n"
    "  addspans              read a page, write it with its edit and anchor spans\n"
    "  strip-markers         read an edit copy, write it without markers and span tags\n"
    "  edit-flag             read a page, write its pqedit META value (Y, N or nothing)\n"
    "  md5 [TEXT]            MD5 of TEXT (or of standard input) as the site script hashes it\n"
    "  fetch URL             fetch URL without any cache and write its text (UTF-8)\n"
    "  full-path URL         the page file an address shows (folders through index.htm/.html)\n"
    "  site-root URL         the scheme and host (and port) of URL: https://host:8443\n"
    "  relative-path URL ROOT  the path of URL below ROOT, as the site script receives it\n"
    "  stamp                 the request stamp DDMMYYYYhhmmss of now\n"
    "  publishable (FILE | - | --url URL) [--charset NAME] [--span ID=HTML]...\n"
    "                        the exact bytes publishing would send as the \"html\" field for the\n"
    "                        page (a file as fetched, standard input, or an address) after the\n"
    "                        given spans are edited (ZZZEDIT3=new inner HTML, ZZZANCHOR1=new\n"
    "                        link text); nothing when the page would not be sent. --charset\n"
    "                        reads the bytes in that set instead of the one they declare\n"
    "  check-site URL [--password]\n"
    "                        whether the site of URL is ready to publish to: asks its site\n"
    "                        script the check request, a pass key and its version (nothing\n"
    "                        that changes anything) and says in plain words what works. With\n"
    "                        --password, the first line of standard input is checked as the\n"
    "                        site's password (nothing is published). Exit status 0 only when\n"
    "                        the site is ready\n"
    "\n"
    "Addresses may be http or https. PAGEQUILL_EXTRA_CA=FILE adds the certificate authorities\n"
    "of a PEM file to the system's (never replacing them).\n"
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
    {"help", 0, 0, ""},              {"publishable", 1, 1000, "a FILE, - or --url URL"},
    {"check-site", 1, 2, "a URL and perhaps --password"},
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

// Why a fetch gave nothing usable, for a message.
std::string NoAnswer(const pq::engine::FetchResult& r) {
  if (!r.problem.empty()) return r.problem;
  return "no answer" + (r.failure.empty() ? "" : ": " + r.failure);
}

pq::SiteAnswer AnswerOf(pq::engine::FetchResult r) {
  return {r.ok, r.status, std::move(r.text), std::move(r.problem), std::move(r.failure)};
}

pq::SiteAnswer AnswerOf(pq::engine::PostResult r) {
  return {r.ok, r.status, std::move(r.text), std::move(r.problem), std::move(r.failure)};
}

// The designer's check of a site: requests that change nothing, and a verdict in words.
int CheckSite(const std::vector<std::string>& args) {
  std::string url;
  bool withPassword = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--password")
      withPassword = true;
    else if (url.empty() && args[i].rfind("--", 0) != 0)
      url = args[i];
    else
      return Usage("check-site does not take \"" + args[i] + "\"");
  }
  const std::string script = pq::SiteScriptBase(url);
  if (script.empty()) return Usage("check-site takes an http or https address (got \"" + url + "\")");
  std::string password;
  if (withPassword) {
    // Never from the command line, where other users can read it.
    std::getline(std::cin, password);
    if (!password.empty() && password.back() == '\r') password.pop_back();
    if (password.empty()) return Fail("--password reads the password from standard input, which gave none");
  }

  pq::SiteCheckAnswers answers;
  answers.scriptAddress = script;
  answers.check = AnswerOf(pq::engine::FetchURL(pq::SiteScriptAddress(url, "check")));
  if (answers.check.reached && answers.check.problem.empty()) {
    answers.passKey = AnswerOf(pq::engine::FetchURL(pq::SiteScriptAddress(url, "passkey")));
    answers.version = AnswerOf(pq::engine::FetchURL(pq::SiteScriptAddress(url, "version")));
    const pq::PassKeyReply key = pq::ParsePassKeyReply(answers.passKey->text);
    if (withPassword && key.ok) {
      // The key the top page of a publication would use.
      const std::string k = std::to_string(key.key + 1);
      pq::FormFields fields;
      fields.AddField("type", "verify");
      fields.AddField("passkey", k);
      fields.AddField("hash", pq::MD5Hex(password + k));
      answers.verify = AnswerOf(pq::engine::PostForm(script, fields.Body(), pq::kFormContentType));
    }
  }
  const pq::SiteReadiness readiness = pq::JudgeSite(answers);
  if (Print(pq::FormatReadiness(readiness), false) != 0) return 1;
  return readiness.ready ? 0 : 1;
}

std::string ReadBytes(const std::string& path) {
  if (path == "-") return ReadAll();
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What publishing would send for a page after the given span edits.
int Publishable(const std::vector<std::string>& args) {
  std::string file, url, charsetOption;
  std::vector<std::pair<std::string, std::string>> edits;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--url" && hasValue) {
      url = args[++i];
    } else if (a == "--charset" && hasValue) {
      charsetOption = args[++i];
    } else if (a == "--span" && hasValue) {
      const std::string& e = args[++i];
      const auto eq = e.find('=');
      if (eq == std::string::npos) return Usage("--span takes ID=HTML (got \"" + e + "\")");
      edits.emplace_back(e.substr(0, eq), e.substr(eq + 1));
    } else if (file.empty() && (a == "-" || a.rfind("--", 0) != 0)) {
      file = a;
    } else {
      return Usage("publishable does not take \"" + a + "\" here");
    }
  }
  if (file.empty() == url.empty())
    return Usage("publishable takes either a FILE (or -) or --url URL");

  pq::PublishDocument doc;
  std::string contentType;
  pq::SourcePage source;
  if (!url.empty()) {
    const auto r = pq::engine::FetchURL(url);
    if (!r.ok) return Fail("could not fetch " + url + " (" + NoAnswer(r) + ")");
    if (r.status < 200 || r.status > 299)
      return Fail("could not fetch " + url + " (the server answered " + std::to_string(r.status) + ")");
    source.bytes = r.bytes;
    source.text = r.text;
    source.charset = r.charset;
  } else {
    std::ifstream probe(file, std::ios::binary);
    if (file != "-" && !probe) return Fail("cannot read " + file);
    source.bytes = ReadBytes(file);
    const pq::DecodedPage page = pq::DecodePage(source.bytes, "");
    source.text = page.text;
    source.charset = page.charset;
  }
  if (!charsetOption.empty()) {
    // Read as the fetch reads a page whose server names that set (a byte-order mark still wins).
    const pq::DecodedPage page = pq::DecodePage(source.bytes, "text/html; charset=" + charsetOption);
    source.text = page.text;
    source.charset = page.charset;
  }
  source.charset = pq::CanonicalCharset(source.charset);
  if (pq::IsUtf16Page(source.charset, source.bytes))
    return Fail("the page is stored in UTF-16; Pagequill does not publish UTF-16 pages, because it cannot write them back "
                "without changing every byte. Save the page as UTF-8 to publish it.");

  const std::string address = url.empty() ? file : url;
  doc.page = pq::PreparePage(std::move(source), address, address);
  doc.recorded = pq::SpansAsWritten(doc.page.edit.html, doc.page.edit.layout);
  doc.live = *doc.recorded;
  for (const auto& [id, value] : edits) {
    auto it = doc.live.elements.find(id);
    if (it == doc.live.elements.end()) return Fail("the page has no span " + id);
    if (id.rfind("ZZZANCHOR", 0) == 0)
      it->second.editableLinks = {value};
    else
      it->second.innerHTML = value;
  }
  std::string error;
  const auto html = pq::PublishedHTML(doc, error);
  if (!error.empty()) return Fail(error);
  if (!html) return 0;  // nothing would be sent
  return Print(*html, false);
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
  if (cmd == "publishable") return Publishable(args);
  if (cmd == "check-site") return CheckSite(args);
  if (cmd == "fetch" && n == 1) {
    const auto r = pq::engine::FetchURL(args[1]);
    if (!r.ok) return Fail("could not fetch " + args[1] + " (" + NoAnswer(r) + ")");
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
