#pragma once
// Shared by the browse end-to-end programs: one private Xvfb, TEMP and XDG_CONFIG_HOME for the
// whole program, GTK started on it, and screenshots of failing cases.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/wait_until.h"
#include "support/xvfb.h"

namespace pqtest {

class BrowseE2E {
 public:
  // Starts everything once; later calls return the same set-up.
  static BrowseE2E& Get() {
    static BrowseE2E instance;
    return instance;
  }
  bool ok() const { return xvfb_ && xvfb_->ok() && gtkReady_; }
  const std::string& temp() const { return temp_; }
  void Shot(const std::string& name) {
    if (xvfb_) xvfb_->Screenshot(ScreenshotDir() + "/" + name + ".png");
  }
  void ShotIfFailed(const std::string& name) {
    if (!::testing::Test::HasFailure() || !xvfb_) return;
    xvfb_->Screenshot(ScreenshotDir() + "/" + name + ".png");
  }

 private:
  BrowseE2E() {
    char tmpl[] = "/tmp/pq-browse-e2e-XXXXXX";
    if (char* d = mkdtemp(tmpl)) base_ = d;
    temp_ = base_ + "/temp";
    std::filesystem::create_directories(temp_);
    std::filesystem::create_directories(base_ + "/config");
    std::filesystem::create_directories(base_ + "/data");
    std::filesystem::create_directories(base_ + "/cache");
    setenv("TEMP", temp_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (base_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (base_ + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (base_ + "/cache").c_str(), 1);
    xvfb_ = std::make_unique<Xvfb>();
    if (xvfb_->ok()) gtkReady_ = gtk_init_check(nullptr, nullptr);
  }
  ~BrowseE2E() {
    std::error_code ec;
    if (!base_.empty()) std::filesystem::remove_all(base_, ec);
  }

  std::string base_, temp_;
  std::unique_ptr<Xvfb> xvfb_;
  bool gtkReady_ = false;
};

inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  return pq::engine::WaitUntil(condition, timeout);
}

// Lets the main loop run for a while, for the few steps no event announces.
inline void Settle(std::chrono::milliseconds time) {
  pq::engine::WaitUntil([] { return false; }, time);
}

}  // namespace pqtest
