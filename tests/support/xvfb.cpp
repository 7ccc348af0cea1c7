#include "support/xvfb.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace pqtest {

Xvfb::Xvfb(int width, int height) {
  // -displayfd 1: Xvfb picks a free display number and prints it on its standard output.
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  if (!server_.Start({"Xvfb", "-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"}))
    return;
  std::string n = server_.ReadLine(std::chrono::seconds(20));
  if (n.empty()) return;
  display_ = ":" + n;
  setenv("DISPLAY", display_.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("GDK_BACKEND", "x11", 1);
}

Xvfb::~Xvfb() { server_.Stop(); }

bool Xvfb::Screenshot(const std::string& path) const {
  if (display_.empty()) return false;
  auto r = RunCommand({"import", "-display", display_, "-window", "root", path}, "",
                      std::chrono::seconds(30));
  return r.exitCode == 0;
}

std::string ScreenshotDir() {
  std::string dir = std::string(PQ_BIN_DIR) + "/../screenshots";
  std::filesystem::create_directories(dir);
  return std::filesystem::weakly_canonical(dir).string();
}

}  // namespace pqtest
