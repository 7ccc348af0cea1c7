#pragma once
#include <chrono>
#include <mutex>
#include <string>

namespace pq::site {

// Hands the password to the site owner when someone says it is forgotten: through a
// command the designer configures (it gets the message on standard input, for example
// "sendmail owner@example.com") or by appending the message to a mail file. At most
// one mail per interval, so the request cannot be used to flood the owner.
class PasswordMailer {
 public:
  enum class Outcome { Sent, NotConfigured, TooSoon, Failed };
  PasswordMailer(std::string command, std::string file, std::chrono::seconds interval)
      : command_(std::move(command)), file_(std::move(file)), interval_(interval) {}

  Outcome Send(const std::string& password, const std::string& site,
               const std::string& requester);

 private:
  bool RunCommand(const std::string& message) const;
  bool AppendToFile(const std::string& message) const;

  std::string command_;
  std::string file_;
  std::chrono::seconds interval_;
  std::mutex mutex_;
  bool sentBefore_ = false;
  std::chrono::steady_clock::time_point lastSent_{};
};

}  // namespace pq::site
