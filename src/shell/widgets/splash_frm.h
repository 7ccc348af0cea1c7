#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/source_id.h"
#include "engine/web_view.h"
#include "shell/splash_check.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;

namespace pq {

// The start-up splash: a window shaped like its picture that clears leftover copies, checks
// the web engine's version and the connection to the service through its own web view and
// through a plain fetch, and closes after at least 1.8 seconds. A failed check shows its
// message; Finished then reports false and the program ends.
class SplashFrm {
 public:
  // serviceAddress: the check address without query, nullopt when there is no service.
  // fetch: the plain HTTP channel (the text of an address, "" on failure).
  SplashFrm(std::optional<std::string> serviceAddress,
            std::function<std::string(const std::string&)> fetch);
  ~SplashFrm();
  SplashFrm(const SplashFrm&) = delete;
  SplashFrm& operator=(const SplashFrm&) = delete;

  // Shows the splash and starts the checks.
  void Show();
  GtkWindow* Window() const;
  const SplashCheck& Check() const { return check_; }

  // The splash has closed: true when the program goes on.
  std::function<void(bool ok)> Finished;

 private:
  static int OnTimer(void* self);
  void Fail(const std::string& title, const std::string& text);
  void Finish(bool ok);

  std::optional<std::string> service_;
  std::function<std::string(const std::string&)> fetch_;
  SplashCheck check_;
  engine::GObjectPtr<GtkWidget> window_;
  std::unique_ptr<engine::WebView> view_;
  engine::SourceId timer_;
  engine::SignalConnections signals_;
  bool finished_ = false;
};

}  // namespace pq
