#include "support/fault_proxy.h"

#include <httplib.h>

namespace pqtest {

FaultProxy::FaultProxy(std::string target)
    : target_(std::move(target)), server_(std::make_unique<httplib::Server>()) {
  auto pass = [this](const httplib::Request& req, httplib::Response& res) {
    if (fault_ == Fault::UnknownAction && req.method == "POST" &&
        req.body.find("action=") != std::string::npos) {
      res.set_content("@@Unknown request@@", "text/html; charset=utf-8");
      return;
    }
    httplib::Client client(target_);
    client.set_read_timeout(30, 0);
    httplib::Headers headers;
    for (const auto& [name, value] : req.headers)
      if (name == "Content-Type" || name == "Cookie") headers.emplace(name, value);
    const std::string path = req.target.empty() ? req.path : req.target;
    httplib::Result answer =
        req.method == "POST"
            ? client.Post(path, headers, req.body, req.get_header_value("Content-Type"))
            : client.Get(path, headers);
    if (!answer) {
      res.status = 502;
      return;
    }
    const bool publication = req.method == "POST" && req.path == "/pagequill/" &&
                             req.body.find("html=") != std::string::npos;
    if (publication) ++publications_;
    const Fault fault = publication ? fault_.load() : Fault::None;
    if (fault == Fault::LoseReply) {
      res.status = 504;
      res.set_content("<html><body><h1>Gateway Timeout</h1></body></html>", "text/html");
      return;
    }
    res.status = answer->status;
    std::string body = answer->body;
    if (fault == Fault::CutShort) body = body.substr(0, 4);
    res.set_content(body, answer->get_header_value("Content-Type").c_str());
  };
  server_->Get(".*", pass);
  server_->Post(".*", pass);
  port_ = server_->bind_to_any_port("127.0.0.1");
  // The socket listens from the bind on: requests wait for the thread, none is lost.
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

FaultProxy::~FaultProxy() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

}  // namespace pqtest
