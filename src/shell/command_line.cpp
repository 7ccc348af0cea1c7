#include "shell/command_line.h"

namespace pq {

namespace {
const char* kUsage =
    "Usage: pagequill [--help | --version]\n"
    "\n"
    "Edit the text of your website's pages in place and publish them.\n"
    "\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Environment:\n"
    "  PAGEQUILL_HOME          the page to open at start (else the setting Browser/HomePage)\n"
    "  PAGEQUILL_SERVICE_URL   the service check address (else the setting Service/CheckUrl)\n"
    "  TEMP, TMP               where edit copies are written (else /tmp)\n";
}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& version) {
  CommandLine c;
  if (args.empty()) return c;
  const std::string& a = args.front();
  if (args.size() == 1 && (a == "--help" || a == "-h")) {
    c.action = CommandLine::Action::Help;
    c.message = kUsage;
  } else if (args.size() == 1 && (a == "--version" || a == "-V")) {
    c.action = CommandLine::Action::Version;
    c.message = "pagequill " + version + "\n";
  } else {
    c.action = CommandLine::Action::Error;
    c.message = "pagequill: unknown option '" + a + "'\nTry 'pagequill --help'.\n";
    c.exitCode = 2;
  }
  return c;
}

}  // namespace pq
