#pragma once
// Helpers shared by the skin and address-box end-to-end tests: a private Xvfb with GTK
// started on it, real pointer and key events through xdotool, bounded waits, and a
// screenshot of every failure.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/wait_until.h"
#include "support/child_process.h"
#include "support/xvfb.h"

namespace pqtest {

// The Xvfb of the whole test program.
inline std::unique_ptr<Xvfb>& SharedXvfbSlot() {
  static std::unique_ptr<Xvfb> x;
  return x;
}
inline Xvfb* SharedXvfb() { return SharedXvfbSlot().get(); }

// Starts Xvfb and GTK once for the whole test program.
class GtkOnXvfb : public ::testing::Environment {
 public:
  explicit GtkOnXvfb(int scale = 1, int width = 1280, int height = 1024)
      : scale_(scale), width_(width), height_(height) {}
  void SetUp() override {
    SharedXvfbSlot() = std::make_unique<Xvfb>(width_, height_);
    ASSERT_TRUE(SharedXvfb()->ok()) << "Xvfb did not start";
    if (scale_ > 1) setenv("GDK_SCALE", std::to_string(scale_).c_str(), 1);
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "GTK could not open the display";
  }
  void TearDown() override {
    SharedXvfbSlot().reset();
  }

 private:
  int scale_;
  int width_;
  int height_;
};

// Lets GTK handle everything the X server has sent it so far: a round trip to the server (so
// the events of an xdotool command that has ended are queued), then the main loop until nothing
// is pending (bounded). Waits for events, not for a fixed time.
inline void Flush() {
  GdkDisplay* display = gdk_display_get_default();
  for (int round = 0; round < 2; ++round) {
    if (display) gdk_display_sync(display);
    pq::engine::WaitUntil([] { return !g_main_context_pending(nullptr); }, std::chrono::seconds(2));
  }
}

inline bool WaitFor(const std::function<bool()>& cond, int ms = 3000) {
  return pq::engine::WaitUntil(cond, std::chrono::milliseconds(ms));
}

// Runs the main loop for a fixed time. Only for what no event tells (a page painting for a
// picture); everything else waits with Flush or WaitFor.
inline void Pump(int ms) {
  pq::engine::WaitUntil([] { return false; }, std::chrono::milliseconds(ms));
}

// One xdotool command (real XTEST events), then the main loop handles what it caused; with
// extraMs, it then runs that much longer (for another process's reaction no event tells).
inline void Xdo(const std::vector<std::string>& args, int extraMs = 0) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  auto r = RunCommand(argv, "", std::chrono::seconds(10));
  EXPECT_EQ(r.exitCode, 0) << "xdotool failed: " << r.err;
  Flush();
  if (extraMs > 0) Pump(extraMs);
}

// GDK holds back a lone motion that arrives together with a crossing event until the next
// event; a real pointer sends a stream of motions, so the pointer arrives by two steps.
inline void MoveTo(int x, int y) {
  Xdo({"mousemove", "--sync", std::to_string(x + 1), std::to_string(y)});
  Xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
}
inline void Press() { Xdo({"mousedown", "1"}); }
inline void Release() { Xdo({"mouseup", "1"}); }

// A screenshot of the screen named after the running test.
inline std::string Shot(const std::string& suffix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "shot";
  std::string path = ScreenshotDir() + "/" + name + suffix + ".png";
  if (SharedXvfb()) SharedXvfb()->Screenshot(path);
  return path;
}

// Keeps a screenshot of any failure of the test it is declared in.
class ShotOnFailure {
 public:
  ~ShotOnFailure() {
    if (::testing::Test::HasFailure()) Shot("-failure");
  }
};

}  // namespace pqtest
