#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pq {

// The per-user settings store ("History", "HideMsg", "passwords", ...). Plain C++ so that the
// logic that reads it is testable with an in-memory fake; the real store is engine::KeyFileSettings.
class Settings {
 public:
  virtual ~Settings() = default;
  virtual std::string GetSetting(const std::string& section, const std::string& key,
                                 const std::string& fallback = "") const = 0;
  virtual void SaveSetting(const std::string& section, const std::string& key,
                           const std::string& value) = 0;

  // What the user must be told about the store itself (a file moved aside, writes that fail):
  // handed to the handler at once, or kept until one is set.
  void SetNoticeHandler(std::function<void(const std::string&)> handler) {
    handler_ = std::move(handler);
    std::vector<std::string> pending;
    pending.swap(pending_);
    for (const std::string& message : pending) Tell(message);
  }

 protected:
  void Tell(const std::string& message) const {
    if (handler_)
      handler_(message);
    else
      pending_.push_back(message);
  }

 private:
  std::function<void(const std::string&)> handler_;
  mutable std::vector<std::string> pending_;
};

}  // namespace pq
