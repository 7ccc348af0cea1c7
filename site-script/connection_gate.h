#pragma once
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pq::site {

// One client connection: its socket, its address and what was read ahead of its next request.
struct Connection {
  int fd = -1;
  std::string address;
  std::string pending;
  int served = 0;
};

// Accepts connections and holds each one, without a thread, until the head of its next
// request and the start of its body (all of a small body, preread bytes of a large one) have
// arrived; only then does a worker serve it. A client that trickles its request (a byte now
// and then) therefore ties up no worker, and loses its connection when that much has not
// come within headerTime; an idle kept-alive connection is closed after idleTime. Connections are bounded in total and per address, and an address has at
// most busyPerAddress workers at once, so one client cannot take every worker.
class ConnectionGate {
 public:
  using Clock = std::chrono::steady_clock;
  struct Limits {
    std::chrono::milliseconds headerTime{10000};
    std::chrono::milliseconds idleTime{5000};
    std::size_t maxHeaderBytes = 16 * 1024;
    std::size_t preread = 64 * 1024;
    std::size_t maxConnections = 512;
    std::size_t perAddress = 64;
    std::size_t busyPerAddress = 8;
    int workers = 32;
    std::chrono::milliseconds lingerTime{5000};
    std::size_t lingerBytes = 64u * 1024 * 1024;
  };
  // Serves one request whose head is in connection.pending or on its socket; true when
  // the connection may carry another request.
  using Serve = std::function<bool(Connection& connection)>;

  ConnectionGate(int listenFd, Limits limits, Serve serve);
  ~ConnectionGate();

  // Accepts and serves until Stop(); the listening socket stays the caller's.
  void Run();
  void Stop();

 private:
  struct Waiting {
    std::unique_ptr<Connection> connection;
    Clock::time_point deadline;
    bool started = false;  // a byte of the head has arrived
    bool lingering = false;  // served and shut for writing: only drained until closed
    bool continued = false;  // "100 Continue" sent to a client that waits for it
    std::size_t drained = 0;
  };
  void Accept();
  // Reads what arrived; false when the connection is to be closed.
  bool ReadAhead(Waiting& w);
  // Whether the request is ready for a worker; asks a client that waits for it to send its body.
  bool Ready(Waiting& w);
  // Drops what arrived on a lingering connection; false when it is to be closed now.
  bool Drain(Waiting& w);
  void Dispatch(std::unique_ptr<Connection> connection);
  void Close(std::unique_ptr<Connection> connection);
  void WorkerLoop();
  bool MayServe(const std::string& address) const;  // with mutex_ held
  void Wake();

  int listenFd_;
  Limits limits_;
  Serve serve_;
  int wakePipe_[2] = {-1, -1};
  std::vector<Waiting> waiting_;  // only the gate's own thread touches this

  std::mutex mutex_;  // guards everything below
  std::condition_variable ready_;
  std::deque<std::unique_ptr<Connection>> readyQueue_;
  std::vector<std::unique_ptr<Connection>> returned_;
  std::vector<std::unique_ptr<Connection>> finished_;  // served for the last time
  std::map<std::string, std::size_t> open_;  // connections per address
  std::map<std::string, std::size_t> busy_;  // workers per address
  std::size_t openTotal_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace pq::site
