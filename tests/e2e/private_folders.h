#pragma once
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pqtest {

// TEMP and the configuration folders of the program under test, private to this run.
struct PrivateFolders {
  // tmpl: a mkdtemp pattern such as "/tmp/pq-edit-e2e-XXXXXX".
  explicit PrivateFolders(const std::string& tmpl) {
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (char* d = mkdtemp(buf.data())) base = d;
    for (const char* sub : {"/temp", "/config", "/data", "/cache"}) std::filesystem::create_directories(base + sub);
    setenv("TEMP", (base + "/temp").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (base + "/cache").c_str(), 1);
  }
  ~PrivateFolders() {
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
  }
  std::string base;
};

}  // namespace pqtest
