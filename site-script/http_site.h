#pragma once
#include <httplib.h>
#include <sys/socket.h>

#include <filesystem>
#include <string>

#include "site-script/site_options.h"
#include "site-script/site_script.h"

namespace pq::site {

// The HTTP face of the site: static files from the site folder, the site script under
// "/pagequill/" and, when asked for, the vendor service's "/check.php".
class HttpSite {
 public:
  explicit HttpSite(const SiteOptions& options);

  // Binds the listening socket; returns the port, or -1 with a message in error.
  int Bind(std::string& error);
  // Serves until Stop(); false if the server could not run.
  bool Run();
  void Stop() { server_.stop(); }

 private:
  void ServeStatic(const httplib::Request& req, httplib::Response& res) const;
  void ServePublish(const httplib::Request& req, httplib::Response& res,
                    const httplib::ContentReader& reader);

  // cpp-httplib as packaged listens with a backlog of 5, so a burst of new connections
  // has SYNs dropped and waits a second for the retry; this widens it after binding.
  class Server : public httplib::Server {
   public:
    void WidenBacklog(int backlog) { ::listen(svr_sock_, backlog); }
  };

  SiteOptions options_;
  std::filesystem::path root_;
  SiteScript script_;
  Server server_;
};

}  // namespace pq::site
