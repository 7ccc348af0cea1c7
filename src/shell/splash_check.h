#pragma once
#include <functional>
#include <optional>
#include <string>

#include "core/settings.h"

namespace pq {

// The web engine must be at least this version (major * 100 + minor).
inline constexpr int kMinimumEngineVersionNumber = 240;
bool EngineVersionAcceptable(int major, int minor);
// The message of a too-old engine: names the engine, the version found and how to update it.
std::string EngineTooOldMessage(int major, int minor);
inline constexpr const char* kEngineTooOldTitle = "Web engine too old";

// The service's check address without its query: PAGEQUILL_SERVICE_URL, else the setting
// Service/CheckUrl; nullopt when neither is set (there is no service to check).
std::optional<std::string> ServiceCheckAddress(const char* environment, const Settings& settings);
// The request for one check: the address + "?now=" + request stamp.
std::string ServiceCheckRequest(const std::string& address, const std::string& stamp);
// A reply passes when it contains "@@ok@@".
bool ServiceReplyPasses(const std::string& reply);

inline constexpr const char* kConnectTitle = "Unable to Connect";
std::string ConnectFailedMessage();

// Deletes frame and preview copies left over from an earlier run: frmpage1.htm, frmpage2.htm,
// ... up to the first missing number, then the same for frmpreview.
void DeleteLeftoverCopies();

// The splash's start-up check: the connection is tested through the splash's web view and
// again through a plain fetch; the splash closes when the check has passed and it has been up
// for at least kMinimumTicks ticks of 200 ms.
class SplashCheck {
 public:
  enum class Outcome { Checking, Connected, Failed };
  static constexpr int kMinimumTicks = 9;
  // A check that has not answered within this many ticks has failed (a minute).
  static constexpr int kGiveUpTicks = 300;

  // Without a service address the check passes at once.
  explicit SplashCheck(bool serviceConfigured)
      : outcome_(serviceConfigured ? Outcome::Checking : Outcome::Connected) {}

  // The web view finished the check page: its document's outer HTML, or nullopt when the view
  // has no document (nothing happens then). `fetchAgain` fetches a fresh check request through
  // the plain HTTP channel and returns its text ("" on failure).
  void CheckPageLoaded(const std::optional<std::string>& outerHTML,
                       const std::function<std::string()>& fetchAgain);
  // The web view could not load the check page at all.
  void CheckPageFailed();
  // One tick of the 200 ms timer. Answers whether the splash closes now.
  bool Tick();

  Outcome CurrentOutcome() const { return outcome_; }
  bool Connected() const { return outcome_ == Outcome::Connected; }
  int Ticks() const { return ticks_; }

 private:
  Outcome outcome_;
  int ticks_ = 0;
};

}  // namespace pq
