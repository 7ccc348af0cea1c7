// pagequill-site: serves a site folder and answers the Pagequill site script protocol.
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "site-script/http_site.h"
#include "site-script/page_writer.h"
#include "site-script/site_options.h"

namespace {

std::optional<std::string> FromEnvironment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pq::site;
  std::vector<std::string> args(argv + 1, argv + argc);
  ParsedOptions parsed = ParseSiteOptions(args, FromEnvironment);
  if (!parsed.options) {
    std::cerr << "pagequill-site: " << parsed.error << "\n(see pagequill-site --help)\n";
    return 2;
  }
  SiteOptions options = std::move(*parsed.options);
  if (options.help) {
    std::cout << SiteUsage();
    return 0;
  }
  if (options.version) {
    std::cout << "pagequill-site " << PQ_VERSION << "\n";
    return 0;
  }
  if (std::string error = ValidateSiteOptions(options); !error.empty()) {
    std::cerr << "pagequill-site: " << error << "\n";
    return 2;
  }

  // Temporary files of writes cut short by a killed server are never pages: clear them.
  if (const int removed = RemoveLeftoverTempFiles(options.root); removed > 0) {
    std::cerr << "pagequill-site: removed " << removed
              << " unfinished temporary file(s) left in the site folder by an earlier run\n";
  }
  // Room for the connections the server holds open at once.
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
  }

  // SIGINT and SIGTERM are taken by a thread of their own, which stops the server cleanly.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  HttpSite site(options);
  std::string error;
  const int port = site.Bind(error);
  if (port < 0) {
    std::cerr << "pagequill-site: " << error << "\n";
    return 1;
  }
  const bool ipv6 = options.bind.find(':') != std::string::npos;
  std::printf("listening on http://%s%s%s:%d/\n", ipv6 ? "[" : "", options.bind.c_str(),
              ipv6 ? "]" : "", port);
  std::fflush(stdout);

  std::thread stopper([&site, stopSignals] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    site.Stop();
  });
  const bool ran = site.Run();
  if (stopper.joinable()) {
    // Run() also ends on errors; wake the stopper so it can be joined.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
  }
  return ran ? 0 : 1;
}
