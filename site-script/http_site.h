#pragma once
#include <httplib.h>
#include <sys/socket.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "site-script/body_budget.h"
#include "site-script/connection_gate.h"
#include "site-script/deadline_stream.h"
#include "site-script/site_options.h"
#include "site-script/site_script.h"

namespace pq::site {

// The HTTP face of the site: static files from the site folder, the site script under
// "/pagequill/" and, when asked for, the vendor service's "/check.php". cpp-httplib parses
// and answers each request; connections are accepted and held by a ConnectionGate and read
// through a DeadlineStream, so slow clients cannot take the workers.
class HttpSite {
 public:
  explicit HttpSite(const SiteOptions& options);

  // Binds the listening socket; returns the port, or -1 with a message in error.
  int Bind(std::string& error);
  // Serves until Stop(); false if the server could not run.
  bool Run();
  void Stop();

 private:
  void ServeStatic(const httplib::Request& req, httplib::Response& res) const;
  void ServePost(const httplib::Request& req, httplib::Response& res,
                 const httplib::ContentReader& reader);
  // One request of a connection the gate handed over; true to keep the connection.
  bool ServeConnection(Connection& connection);

  class Server : public httplib::Server {
   public:
    // cpp-httplib as packaged listens with a backlog of 5, so a burst of new connections
    // has SYNs dropped and waits a second for the retry; this widens it after binding.
    void WidenBacklog(int backlog) { ::listen(svr_sock_, backlog); }
    int listenSocket() const { return svr_sock_; }
    bool ServeOne(httplib::Stream& stream, bool closeConnection, bool& connectionClosed) {
      return process_request(stream, closeConnection, connectionClosed, nullptr);
    }
  };

  SiteOptions options_;
  std::filesystem::path root_;
  SiteScript script_;
  BodyBudget budget_;
  Server server_;
  std::unique_ptr<ConnectionGate> gate_;  // made by Bind()
};

}  // namespace pq::site
