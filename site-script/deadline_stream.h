#pragma once
#include <httplib.h>

#include <chrono>

#include "site-script/connection_gate.h"

namespace pq::site {

// A connection as cpp-httplib reads and writes it, with time limits on the whole request
// rather than on each read: the head by headDeadline, then the body and the reply each at
// least minBytesPerSecond after a grace period. A client that sends or reads a byte now
// and then cannot hold a worker beyond that.
class DeadlineStream : public httplib::Stream {
 public:
  using Clock = std::chrono::steady_clock;
  struct Limits {
    std::chrono::milliseconds grace{10000};
    double minBytesPerSecond = 8 * 1024;
  };
  DeadlineStream(Connection& connection, Clock::time_point headDeadline, Limits limits);

  // The head has been read; what is read from now on is the body.
  void StartBody();
  // Bytes of the body read so far.
  std::size_t bodyBytes() const { return bodyBytes_; }

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, std::size_t size) override;
  ssize_t write(const char* ptr, std::size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return connection_.fd; }

 private:
  Clock::time_point ReadDeadline() const;
  Clock::time_point WriteDeadline() const;
  bool WaitFor(short events, Clock::time_point deadline) const;

  Connection& connection_;
  Limits limits_;
  Clock::time_point headDeadline_;
  bool inBody_ = false;
  Clock::time_point bodyStart_{};
  std::size_t bodyBytes_ = 0;
  bool writing_ = false;
  Clock::time_point writeStart_{};
  std::size_t written_ = 0;
};

}  // namespace pq::site
