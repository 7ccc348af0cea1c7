#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/settings.h"
#include "shell/widgets/main_form_window.h"
#include "shell/widgets/splash_frm.h"

namespace pq {

// The program: the main window with its splash at first activation. Ended reports how the
// program ends: 0 when the user closed it, non-zero when a start-up check failed.
class PagequillApp {
 public:
  struct Environment {
    const char* home = nullptr;     // PAGEQUILL_HOME
    const char* service = nullptr;  // PAGEQUILL_SERVICE_URL
  };
  PagequillApp(Settings& settings, const Environment& environment);
  ~PagequillApp();
  PagequillApp(const PagequillApp&) = delete;
  PagequillApp& operator=(const PagequillApp&) = delete;

  void Start();
  MainFormWindow& Window() { return *window_; }
  SplashFrm* Splash() { return splash_.get(); }

  std::function<void(int exitCode)> Ended;

 private:
  void End(int code);

  Settings& settings_;
  std::optional<std::string> service_;
  std::unique_ptr<MainFormWindow> window_;
  std::unique_ptr<SplashFrm> splash_;
  bool ended_ = false;
};

}  // namespace pq
