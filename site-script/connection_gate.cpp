#include "site-script/connection_gate.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "site-script/request_head.h"

namespace pq::site {

namespace {

std::string AddressOf(const sockaddr_storage& addr) {
  char text[INET6_ADDRSTRLEN] = "";
  if (addr.ss_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(addr).sin_addr, text, sizeof text);
  } else if (addr.ss_family == AF_INET6) {
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(addr).sin6_addr, text, sizeof text);
  }
  return text;
}

}  // namespace

bool ConnectionGate::Ready(Waiting& w) {
  const std::string& pending = w.connection->pending;
  const RequestHead head = InspectRequestHead(pending, limits_.preread);
  if (!head.complete) return false;
  if (RequestReady(pending, limits_.preread)) return true;
  if (head.expectsContinue && !w.continued) {
    // The body is read here, before a worker is involved, so the client is asked for it
    // here too (the worker's own "100 Continue" later is one more interim reply, allowed).
    static constexpr char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
    [[maybe_unused]] const auto n =
        send(w.connection->fd, kContinue, sizeof kContinue - 1, MSG_DONTWAIT | MSG_NOSIGNAL);
    w.continued = true;
  }
  return false;
}

ConnectionGate::ConnectionGate(int listenFd, Limits limits, Serve serve)
    : listenFd_(listenFd), limits_(limits), serve_(std::move(serve)) {
  if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe_[0] = wakePipe_[1] = -1;
}

ConnectionGate::~ConnectionGate() {
  Stop();
  for (int fd : wakePipe_) {
    if (fd >= 0) close(fd);
  }
}

void ConnectionGate::Wake() {
  const char byte = 0;
  if (wakePipe_[1] < 0) return;
  [[maybe_unused]] const auto n = write(wakePipe_[1], &byte, 1);
}

void ConnectionGate::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  ready_.notify_all();
  Wake();
}

void ConnectionGate::Close(std::unique_ptr<Connection> connection) {
  shutdown(connection->fd, SHUT_RDWR);
  close(connection->fd);
  std::lock_guard lock(mutex_);
  if (--open_[connection->address] == 0) open_.erase(connection->address);
  --openTotal_;
}

void ConnectionGate::Accept() {
  for (int i = 0; i < 64; ++i) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    const int fd = accept4(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_CLOEXEC);
    if (fd < 0) return;
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    connection->address = AddressOf(addr);
    {
      std::lock_guard lock(mutex_);
      if (openTotal_ >= limits_.maxConnections ||
          open_[connection->address] >= limits_.perAddress) {
        if (open_[connection->address] == 0) open_.erase(connection->address);
        close(fd);
        continue;
      }
      ++open_[connection->address];
      ++openTotal_;
    }
    int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    waiting_.push_back({std::move(connection), Clock::now() + limits_.headerTime, true});
  }
}

bool ConnectionGate::ReadAhead(Waiting& w) {
  Connection& c = *w.connection;
  char buf[16 * 1024];
  for (;;) {
    const ssize_t n = recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n == 0) return false;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    c.pending.append(buf, static_cast<std::size_t>(n));
    if (!w.started) {
      w.started = true;
      w.deadline = Clock::now() + limits_.headerTime;
    }
    if (Ready(w)) return true;
    if (c.pending.size() > limits_.maxHeaderBytes &&
        !InspectRequestHead(c.pending, limits_.preread).complete) {
      return false;
    }
  }
}

bool ConnectionGate::Drain(Waiting& w) {
  char buf[64 * 1024];
  for (;;) {
    const ssize_t n = recv(w.connection->fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n == 0) return false;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    w.drained += static_cast<std::size_t>(n);
    if (w.drained > limits_.lingerBytes) return false;
  }
}

void ConnectionGate::Dispatch(std::unique_ptr<Connection> connection) {
  {
    std::lock_guard lock(mutex_);
    readyQueue_.push_back(std::move(connection));
  }
  ready_.notify_all();
}

void ConnectionGate::WorkerLoop() {
  for (;;) {
    std::unique_ptr<Connection> connection;
    {
      std::unique_lock lock(mutex_);
      ready_.wait(lock, [&] {
        if (stopping_) return true;
        return std::any_of(readyQueue_.begin(), readyQueue_.end(),
                           [&](const auto& c) { return MayServe(c->address); });
      });
      if (stopping_) return;
      auto it = std::find_if(readyQueue_.begin(), readyQueue_.end(),
                             [&](const auto& c) { return MayServe(c->address); });
      connection = std::move(*it);
      readyQueue_.erase(it);
      ++busy_[connection->address];
    }
    ++connection->served;
    const bool keep = serve_(*connection);
    {
      std::lock_guard lock(mutex_);
      if (--busy_[connection->address] == 0) busy_.erase(connection->address);
    }
    ready_.notify_all();  // this address may have more waiting
    if (!keep) {
      // The reply is on its way; the rest of what the client sends is drained by the gate.
      shutdown(connection->fd, SHUT_WR);
      {
        std::lock_guard lock(mutex_);
        finished_.push_back(std::move(connection));
      }
      Wake();
      continue;
    }
    {
      std::lock_guard lock(mutex_);
      returned_.push_back(std::move(connection));
    }
    Wake();
  }
}

bool ConnectionGate::MayServe(const std::string& address) const {
  const auto it = busy_.find(address);
  return it == busy_.end() || it->second < limits_.busyPerAddress;
}

void ConnectionGate::Run() {
  fcntl(listenFd_, F_SETFL, fcntl(listenFd_, F_GETFL) | O_NONBLOCK);
  for (int i = 0; i < limits_.workers; ++i) workers_.emplace_back([this] { WorkerLoop(); });
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) break;
      for (auto& c : returned_) {
        // What the client sent ahead may already hold its next request.
        const bool started = !c->pending.empty();
        Waiting w{std::move(c), Clock::now() + (started ? limits_.headerTime : limits_.idleTime),
                  started};
        if (Ready(w)) {
          readyQueue_.push_back(std::move(w.connection));
          ready_.notify_one();
          continue;
        }
        waiting_.push_back(std::move(w));
      }
      returned_.clear();
      for (auto& c : finished_) {
        waiting_.push_back({std::move(c), Clock::now() + limits_.lingerTime, false, true});
      }
      finished_.clear();
    }
    std::vector<pollfd> fds;
    fds.push_back({listenFd_, POLLIN, 0});
    fds.push_back({wakePipe_[0], POLLIN, 0});
    auto next = Clock::now() + std::chrono::seconds(1);
    for (const auto& w : waiting_) {
      fds.push_back({w.connection->fd, POLLIN, 0});
      next = std::min(next, w.deadline);
    }
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
    const int n = poll(fds.data(), fds.size(), static_cast<int>(std::max<long>(wait.count() + 1, 0)));
    if (n < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (read(wakePipe_[0], drain, sizeof drain) > 0) {
      }
    }
    // Each waiting connection: read what came, hand it on when complete, drop it when late.
    const auto now = Clock::now();
    std::vector<Waiting> still;
    for (std::size_t i = 0; i < waiting_.size(); ++i) {
      Waiting& w = waiting_[i];
      bool alive = true;
      if (fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR)) {
        alive = w.lingering ? Drain(w) : ReadAhead(w);
      }
      if (alive && !w.lingering && RequestReady(w.connection->pending, limits_.preread)) {
        Dispatch(std::move(w.connection));
      } else if (!alive || now >= w.deadline) {
        Close(std::move(w.connection));
      } else {
        still.push_back(std::move(w));
      }
    }
    waiting_ = std::move(still);
    if (fds[0].revents & POLLIN) Accept();
  }
  Stop();
  for (auto& t : workers_) t.join();
  workers_.clear();
  for (auto& w : waiting_) Close(std::move(w.connection));
  waiting_.clear();
  std::lock_guard lock(mutex_);
  for (auto& c : readyQueue_) close(c->fd);
  for (auto& c : returned_) close(c->fd);
  for (auto& c : finished_) close(c->fd);
  readyQueue_.clear();
  returned_.clear();
  finished_.clear();
}

}  // namespace pq::site
