#pragma once
#include <httplib.h>
#include <sys/socket.h>

#include <filesystem>
#include <functional>
#include <memory>
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
  // Why the certificate and key given cannot serve https; "" when they can, or without them.
  std::string CertificateProblem() const;
  // Serves until Stop(); false if the server could not run.
  bool Run();
  void Stop() { server_->stop(); }
  // "https" with a certificate, else "http".
  const char* Scheme() const { return options_.tlsCert.empty() ? "http" : "https"; }

 private:
  void ServeStatic(const httplib::Request& req, httplib::Response& res) const;
  void ServePublish(const httplib::Request& req, httplib::Response& res,
                    const httplib::ContentReader& reader);

  // cpp-httplib as packaged listens with a backlog of 5, so a burst of new connections
  // has SYNs dropped and waits a second for the retry; this widens it after binding.
  template <class Base>
  class Widening : public Base {
   public:
    using Base::Base;
    void WidenBacklog(int backlog) { ::listen(this->svr_sock_, backlog); }
  };

  SiteOptions options_;
  std::filesystem::path root_;
  SiteScript script_;
  std::unique_ptr<httplib::Server> server_;  // an SSLServer with a certificate
  std::function<void(int)> widenBacklog_;
};

}  // namespace pq::site
