#pragma once
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace pqtest {

// A proxy on 127.0.0.1 in front of a site server that passes every request on, except that
// the reply to a publication (a post to "/pagequill/" with an "html" field) can be spoilt after
// the server has answered it: the page is stored, but the program does not learn so. It can
// also stand for a site script too old to know the requests about earlier versions.
class FaultProxy {
 public:
  enum class Fault {
    None,
    LoseReply,  // a gateway's error page instead of the site script's reply
    CutShort,   // the reply stops after its first bytes
    UnknownAction,  // posts with an "action" field are refused as a script that predates them
    // Held without an answer until Release (or the proxy's end): a pass-key request; a post
    // that never reaches the server; a post stored by the server whose reply is kept back.
    HoldPassKey,
    HoldPost,
    HoldReply,
    // A site script that predates the "base" field: the field is taken out of every
    // publication on its way, so nothing on the website compares it.
    DropBase,
  };
  explicit FaultProxy(std::string target);  // "http://127.0.0.1:PORT"
  ~FaultProxy();
  void SetFault(Fault fault) { fault_ = fault; }
  // "http://127.0.0.1:PORT"
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // Publications passed on to the server so far.
  int Publications() const { return publications_; }
  // Requests held so far (see the Hold faults).
  int Held() const { return held_; }
  // Publications whose "base" field DropBase took out.
  int BasesDropped() const { return basesDropped_; }
  // Lets every held request go with a gateway's error page.
  void Release();

 private:
  std::string target_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  std::atomic<Fault> fault_{Fault::None};
  std::atomic<int> publications_{0};
  std::atomic<int> held_{0};
  std::atomic<int> basesDropped_{0};
  std::mutex mutex_;
  std::condition_variable releasedChanged_;
  bool released_ = false;
};

}  // namespace pqtest
