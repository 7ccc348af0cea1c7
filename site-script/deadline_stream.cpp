#include "site-script/deadline_stream.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace pq::site {

namespace {
std::chrono::milliseconds AtRate(std::size_t bytes, double perSecond) {
  return std::chrono::milliseconds(static_cast<long long>(1000.0 * static_cast<double>(bytes) / perSecond));
}
}  // namespace

DeadlineStream::DeadlineStream(Connection& connection, Clock::time_point headDeadline,
                               Limits limits)
    : connection_(connection), limits_(limits), headDeadline_(headDeadline) {}

void DeadlineStream::StartBody() {
  if (inBody_) return;
  inBody_ = true;
  bodyStart_ = Clock::now();
}

DeadlineStream::Clock::time_point DeadlineStream::ReadDeadline() const {
  if (!inBody_) return headDeadline_;
  return bodyStart_ + limits_.grace + AtRate(bodyBytes_, limits_.minBytesPerSecond);
}

DeadlineStream::Clock::time_point DeadlineStream::WriteDeadline() const {
  const auto start = writing_ ? writeStart_ : Clock::now();
  return start + limits_.grace + AtRate(written_, limits_.minBytesPerSecond);
}

bool DeadlineStream::WaitFor(short events, Clock::time_point deadline) const {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() < 0) return false;
    pollfd p{connection_.fd, events, 0};
    const int n = poll(&p, 1, static_cast<int>(left.count()) + 1);
    if (n > 0) return true;
    if (n < 0 && errno != EINTR) return false;
  }
}

bool DeadlineStream::is_readable() const {
  return !connection_.pending.empty() || WaitFor(POLLIN, ReadDeadline());
}

bool DeadlineStream::is_writable() const { return WaitFor(POLLOUT, WriteDeadline()); }

ssize_t DeadlineStream::read(char* ptr, std::size_t size) {
  std::size_t n = 0;
  if (!connection_.pending.empty()) {
    n = std::min(size, connection_.pending.size());
    std::memcpy(ptr, connection_.pending.data(), n);
    connection_.pending.erase(0, n);
  } else {
    if (!WaitFor(POLLIN, ReadDeadline())) return -1;
    const ssize_t got = recv(connection_.fd, ptr, size, 0);
    if (got <= 0) return got;
    n = static_cast<std::size_t>(got);
  }
  if (inBody_) bodyBytes_ += n;
  return static_cast<ssize_t>(n);
}

ssize_t DeadlineStream::write(const char* ptr, std::size_t size) {
  if (!writing_) {
    writing_ = true;
    writeStart_ = Clock::now();
  }
  if (!WaitFor(POLLOUT, WriteDeadline())) return -1;
  const ssize_t n = send(connection_.fd, ptr, size, MSG_NOSIGNAL);
  if (n > 0) written_ += static_cast<std::size_t>(n);
  return n;
}

void DeadlineStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  ip = connection_.address;
  port = 0;
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  if (getpeername(connection_.fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
    port = ntohs(addr.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(addr).sin6_port
                                            : reinterpret_cast<sockaddr_in&>(addr).sin_port);
  }
}

void DeadlineStream::get_local_ip_and_port(std::string& ip, int& port) const {
  ip.clear();
  port = 0;
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  if (getsockname(connection_.fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return;
  char text[INET6_ADDRSTRLEN] = "";
  if (addr.ss_family == AF_INET6) {
    auto& a = reinterpret_cast<sockaddr_in6&>(addr);
    inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof text);
    port = ntohs(a.sin6_port);
  } else {
    auto& a = reinterpret_cast<sockaddr_in&>(addr);
    inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    port = ntohs(a.sin_port);
  }
  ip = text;
}

}  // namespace pq::site
