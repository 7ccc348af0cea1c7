#pragma once
// Xvfb, then a real window manager (openbox), then GTK (which looks for a window manager once
// it starts), once for the whole test program. Without openbox the tests skip.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <memory>
#include <thread>

#include "e2e/skin_e2e_support.h"
#include "support/child_process.h"

namespace pqtest {

class GtkOnXvfbWithWindowManager : public ::testing::Environment {
 public:
  void SetUp() override {
    SharedXvfbSlot() = std::make_unique<Xvfb>(1280, 1024);
    ASSERT_TRUE(SharedXvfb()->ok());
    haveWm = RunCommand({"sh", "-c", "command -v openbox"}).exitCode == 0;
    if (!haveWm) return;
    wm.Start({"openbox", "--sm-disable"});
    // The window manager makes its own window once it manages the screen.
    bool announced = false;
    for (int i = 0; i < 100 && !announced; ++i) {
      auto r = RunCommand({"xdotool", "search", "--maxdepth", "1", "--class", "openbox"});
      announced = r.exitCode == 0 && !r.out.empty();
      if (!announced) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(announced) << "openbox did not take the screen";
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
  }
  void TearDown() override {
    wm.Stop();
    SharedXvfbSlot().reset();
  }
  static inline bool haveWm = false;
  ChildProcess wm;
};

}  // namespace pqtest
