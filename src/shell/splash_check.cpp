#include "shell/splash_check.h"

#include "pageprep/temp_files.h"

namespace pq {

bool EngineVersionAcceptable(int major, int minor) {
  return major * 100 + minor >= kMinimumEngineVersionNumber;
}

std::string EngineTooOldMessage(int major, int minor) {
  return "Your version of the web engine WebKitGTK (" + std::to_string(major) + "." +
         std::to_string(minor) +
         ") is too old. Pagequill needs WebKitGTK 2.40 or later.\r\n\r\n"
         "Please update it with your system's package manager (on Debian and Ubuntu: "
         "sudo apt install libwebkit2gtk-4.1-0), then start Pagequill again.";
}

std::optional<std::string> ServiceCheckAddress(const char* environment, const Settings& settings) {
  if (environment && *environment) return std::string(environment);
  std::string configured = settings.GetSetting("Service", "CheckUrl");
  if (!configured.empty()) return configured;
  return std::nullopt;
}

std::string ServiceCheckRequest(const std::string& address, const std::string& stamp) {
  return address + "?now=" + stamp;
}

bool ServiceReplyPasses(const std::string& reply) {
  return reply.find("@@ok@@") != std::string::npos;
}

std::string ConnectFailedMessage() {
  return "Unable to connect to the Internet.\r\n\r\n"
         "You may not be connected, or the Pagequill website may be down.\r\n\r\n"
         "If you use a firewall, please ensure Pagequill is allowed to connect to the Internet.";
}

void DeleteLeftoverCopies() {
  DeleteNumberedFiles("frmpage");
  DeleteNumberedFiles("frmpreview");
}

void SplashCheck::CheckPageLoaded(const std::optional<std::string>& outerHTML,
                                  const std::function<std::string()>& fetchAgain) {
  if (outcome_ != Outcome::Checking || !outerHTML) return;
  if (!ServiceReplyPasses(*outerHTML)) {
    outcome_ = Outcome::Failed;
    return;
  }
  // Some firewalls let only the browser through: the program's own channel must pass too.
  outcome_ = ServiceReplyPasses(fetchAgain()) ? Outcome::Connected : Outcome::Failed;
}

void SplashCheck::CheckPageFailed() {
  if (outcome_ == Outcome::Checking) outcome_ = Outcome::Failed;
}

bool SplashCheck::Tick() {
  ++ticks_;
  if (outcome_ == Outcome::Checking && ticks_ >= kGiveUpTicks) outcome_ = Outcome::Failed;
  return outcome_ == Outcome::Connected && ticks_ >= kMinimumTicks;
}

}  // namespace pq
