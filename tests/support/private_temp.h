#pragma once
#include <string>

namespace pqtest {

// Points TEMP at a fresh folder while it lives, so tests never touch the user's edit copies;
// restores TEMP and removes the folder afterwards.
class PrivateTemp {
 public:
  PrivateTemp();
  PrivateTemp(const PrivateTemp&) = delete;
  PrivateTemp& operator=(const PrivateTemp&) = delete;
  ~PrivateTemp();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string saved_;
  bool hadTemp_ = false;
};

}  // namespace pqtest
