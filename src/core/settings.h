#pragma once
#include <map>
#include <string>
#include <utility>

namespace pq {

// The per-user settings store ("History", "HideMsg", "passwords", ...). Plain C++ so that the
// logic that reads it is testable with MemorySettings; the real store is engine::KeyFileSettings.
class Settings {
 public:
  virtual ~Settings() = default;
  virtual std::string GetSetting(const std::string& section, const std::string& key,
                                 const std::string& fallback = "") const = 0;
  virtual void SaveSetting(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
};

class MemorySettings : public Settings {
 public:
  std::string GetSetting(const std::string& section, const std::string& key,
                         const std::string& fallback = "") const override {
    auto it = values_.find({section, key});
    return it == values_.end() ? fallback : it->second;
  }
  void SaveSetting(const std::string& section, const std::string& key,
                   const std::string& value) override {
    values_[{section, key}] = value;
  }

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace pq
