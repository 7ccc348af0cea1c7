#pragma once
#include <memory>
#include <string>

#include "support/child_process.h"

namespace pqtest {

// A private Xvfb server for one test program: sets DISPLAY for this process while it lives.
class Xvfb {
 public:
  Xvfb(int width = 1280, int height = 1024);
  ~Xvfb();
  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }
  // Saves a PNG of the whole screen (ImageMagick's import); returns false if that failed.
  bool Screenshot(const std::string& path) const;

 private:
  ChildProcess server_;
  std::string display_;
};

// The folder where end-to-end tests keep screenshots (created on demand).
std::string ScreenshotDir();

}  // namespace pqtest
