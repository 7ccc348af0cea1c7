#pragma once
// Real key and pointer events for the editing tests: xdotool runs as a child while the main
// loop goes on, so the window can answer the keyboard requests that typing makes of it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine/wait_until.h"
#include "support/child_process.h"

namespace pqtest::editing {

inline void Run(std::chrono::milliseconds time) {
  pq::engine::WaitUntil([] { return false; }, time);
}

inline void Xdo(const std::vector<std::string>& args, int settleMs = 250) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::string command;
  for (const auto& a : argv) command += a + " ";
  ChildProcess xdo;
  ASSERT_TRUE(xdo.Start(argv)) << command;
  EXPECT_TRUE(pq::engine::WaitUntil([&] { return !xdo.Running(); }, std::chrono::seconds(10)))
      << "xdotool did not end: " << command;
  Run(std::chrono::milliseconds(settleMs));
}

// A synchronous move to where the pointer already is never returns: step off first.
inline void MoveTo(int x, int y) {
  Xdo({"mousemove", std::to_string(x + 3), std::to_string(y)}, 20);
  Xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y)}, 50);
}

inline void Keys(const std::vector<std::string>& keys) {
  std::vector<std::string> args{"key", "--delay", "40"};
  args.insert(args.end(), keys.begin(), keys.end());
  Xdo(args, 300);
}

inline void Type(const std::string& text) { Xdo({"type", "--delay", "40", text}, 300); }

// A screenshot of the whole screen, kept with the end-to-end tests' pictures.
inline void ScreenShot(const std::string& path) {
  ChildProcess import;
  if (!import.Start({"import", "-window", "root", path})) return;
  pq::engine::WaitUntil([&] { return !import.Running(); }, std::chrono::seconds(20));
}

}  // namespace pqtest::editing
