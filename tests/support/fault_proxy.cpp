#include "support/fault_proxy.h"

#include <httplib.h>

#include <chrono>

namespace pqtest {

namespace {

// A form body ("a=1&b=2") without the field `name`.
std::string WithoutField(const std::string& body, const std::string& name) {
  std::string out;
  std::size_t at = 0;
  while (at <= body.size()) {
    std::size_t end = body.find('&', at);
    if (end == std::string::npos) end = body.size();
    const std::string field = body.substr(at, end - at);
    if (field.rfind(name + "=", 0) != 0) out += (out.empty() ? "" : "&") + field;
    at = end + 1;
  }
  return out;
}

}  // namespace

FaultProxy::FaultProxy(std::string target)
    : target_(std::move(target)), server_(std::make_unique<httplib::Server>()) {
  // Keeps a request unanswered until Release; bounded, so a forgotten one cannot hang a test.
  auto hold = [this](httplib::Response& res) {
    ++held_;
    std::unique_lock<std::mutex> lock(mutex_);
    releasedChanged_.wait_for(lock, std::chrono::seconds(60), [this] { return released_; });
    res.status = 504;
    res.set_content("<html><body><h1>Gateway Timeout</h1></body></html>", "text/html");
  };
  auto pass = [this, hold](const httplib::Request& req, httplib::Response& res) {
    const bool publication = req.method == "POST" && req.path == "/pagequill/" &&
                             req.body.find("html=") != std::string::npos;
    const bool passKey = req.method == "GET" && req.path == "/pagequill/" &&
                         req.get_param_value("type") == "passkey";
    const Fault fault = fault_.load();
    if (fault == Fault::UnknownAction && req.method == "POST" &&
        req.body.find("action=") != std::string::npos) {
      res.set_content("@@Unknown request@@", "text/html; charset=utf-8");
      return;
    }
    if ((passKey && fault == Fault::HoldPassKey) || (publication && fault == Fault::HoldPost))
      return hold(res);
    httplib::Client client(target_);
    client.set_read_timeout(30, 0);
    httplib::Headers headers;
    for (const auto& [name, value] : req.headers)
      if (name == "Content-Type" || name == "Cookie") headers.emplace(name, value);
    const std::string path = req.target.empty() ? req.path : req.target;
    std::string body = req.body;
    if (publication && fault == Fault::DropBase) {
      const std::string without = WithoutField(body, "base");
      if (without != body) ++basesDropped_;
      body = without;
    }
    httplib::Result answer =
        req.method == "POST"
            ? client.Post(path, headers, body, req.get_header_value("Content-Type"))
            : client.Get(path, headers);
    if (!answer) {
      res.status = 502;
      return;
    }
    if (publication) ++publications_;
    if (publication && fault == Fault::HoldReply) return hold(res);
    if (publication && fault == Fault::LoseReply) {
      res.status = 504;
      res.set_content("<html><body><h1>Gateway Timeout</h1></body></html>", "text/html");
      return;
    }
    res.status = answer->status;
    std::string reply = answer->body;
    if (publication && fault == Fault::CutShort) reply = reply.substr(0, 4);
    res.set_content(reply, answer->get_header_value("Content-Type").c_str());
  };
  server_->Get(".*", pass);
  server_->Post(".*", pass);
  port_ = server_->bind_to_any_port("127.0.0.1");
  // The socket listens from the bind on: requests wait for the thread, none is lost.
  thread_ = std::thread([this] { server_->listen_after_bind(); });
}

void FaultProxy::Release() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
  }
  releasedChanged_.notify_all();
}

FaultProxy::~FaultProxy() {
  Release();
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

}  // namespace pqtest
