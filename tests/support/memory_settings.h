#pragma once
#include <map>
#include <string>
#include <utility>

#include "core/settings.h"

namespace pq {

// Settings kept in memory, for tests of the logic that reads and writes them.
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
