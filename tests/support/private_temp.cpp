#include "support/private_temp.h"

#include <cstdlib>
#include <filesystem>

namespace pqtest {

PrivateTemp::PrivateTemp() {
  char tmpl[] = "/tmp/pq-test-XXXXXX";
  if (const char* dir = mkdtemp(tmpl)) path_ = dir;
  if (const char* t = std::getenv("TEMP")) hadTemp_ = true, saved_ = t;
  setenv("TEMP", path_.c_str(), 1);
}

PrivateTemp::~PrivateTemp() {
  if (hadTemp_) setenv("TEMP", saved_.c_str(), 1); else unsetenv("TEMP");
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace pqtest
