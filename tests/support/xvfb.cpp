#include "support/xvfb.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace pqtest {

namespace {

// True once a client can connect to the display's local socket.
bool Accepts(const std::string& number) {
  const std::string path = "/tmp/.X11-unix/X" + number;
  for (int i = 0; i < 100; ++i) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    if (connected) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// The process the display's lock file names, or -1.
pid_t LockOwner(const std::string& n) {
  std::ifstream lock("/tmp/.X" + n + "-lock");
  long pid = -1;
  lock >> pid;
  return lock ? static_cast<pid_t>(pid) : -1;
}

}  // namespace

Xvfb::Xvfb(int width, int height) {
  // The display number is ours to pick, not -displayfd's: a server probing numbers replaces the
  // socket of a server already running on one, so test programs started together lost their
  // displays. A server given its number checks the lock first and leaves others alone.
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::string n;
  for (int attempt = 0; attempt < 20 && n.empty(); ++attempt) {
    const std::string candidate =
        std::to_string(100 + (static_cast<unsigned>(getpid()) * 7u + attempt * 131u) % 5000u);
    if (std::filesystem::exists("/tmp/.X" + candidate + "-lock")) continue;
    if (!server_.Start({"Xvfb", ":" + candidate, "-screen", "0", screen, "-nolisten", "tcp"}))
      return;
    // A server that lost the number to another one started together exits, but its check for
    // a client can still be answered by the other: the lock names the server that won.
    if (Accepts(candidate) && server_.Running() && LockOwner(candidate) == server_.pid()) {
      n = candidate;
    } else {
      server_.Stop();
    }
  }
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
