#include "support/canned_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pqtest {

namespace {
int ListenOnLoopback(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return fd;
}
}  // namespace

int UnusedPort() {
  int port = 0;
  int fd = ListenOnLoopback(port);
  close(fd);  // bound but never listened: the port is free and refuses connections
  return port;
}

CannedHttpServer::CannedHttpServer() {
  listener_ = ListenOnLoopback(port_);
  listen(listener_, 16);
  thread_ = std::thread([this] { Serve(); });
}

CannedHttpServer::~CannedHttpServer() {
  stop_ = true;
  thread_.join();
  for (int fd : held_) close(fd);
  close(listener_);
}

void CannedHttpServer::Set(const std::string& path, Reply reply) {
  std::lock_guard lock(mutex_);
  replies_[path] = std::move(reply);
}

std::vector<std::string> CannedHttpServer::Requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

void CannedHttpServer::Serve() {
  while (!stop_) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    int fd = accept(listener_, nullptr, nullptr);
    if (fd >= 0) Answer(fd);
  }
}

void CannedHttpServer::Answer(int fd) {
  std::string head;
  char buf[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0) break;
    ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    head.append(buf, static_cast<std::size_t>(n));
  }
  const auto sp1 = head.find(' ');
  const auto sp2 = head.find(' ', sp1 + 1);
  std::string target = sp1 == std::string::npos ? "" : head.substr(sp1 + 1, sp2 - sp1 - 1);
  std::string path = target.substr(0, target.find('?'));
  Reply reply{404, "text/html", "<html><body>Not here</body></html>", false};
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(target);
    if (auto it = replies_.find(path); it != replies_.end()) reply = it->second;
    if (reply.silent) {
      held_.push_back(fd);
      return;
    }
  }
  std::string out = "HTTP/1.0 " + std::to_string(reply.status) + " X\r\nContent-Type: " +
                    reply.contentType + "\r\nContent-Length: " + std::to_string(reply.body.size()) +
                    "\r\nConnection: close\r\n\r\n" + reply.body;
  std::size_t sent = 0;
  while (sent < out.size()) {
    ssize_t n = write(fd, out.data() + sent, out.size() - sent);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  close(fd);
}

}  // namespace pqtest
