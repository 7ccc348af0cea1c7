#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pqtest {

// A tiny HTTP/1.0 server on 127.0.0.1 that answers each path with a canned reply, for
// testing clients against exact bytes and headers. A path without a reply gets a 404.
class CannedHttpServer {
 public:
  struct Reply {
    int status = 200;
    std::string contentType = "text/html";
    std::string body;
    bool silent = false;  // accept the connection and never answer
  };
  CannedHttpServer();
  ~CannedHttpServer();
  void Set(const std::string& path, Reply reply);
  // "http://127.0.0.1:PORT"
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // Request paths seen so far (with query).
  std::vector<std::string> Requests();

 private:
  void Serve();
  void Answer(int fd);
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::map<std::string, Reply> replies_;
  std::vector<std::string> requests_;
  std::vector<int> held_;  // connections kept open without an answer
  std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens (connections are refused).
int UnusedPort();

}  // namespace pqtest
