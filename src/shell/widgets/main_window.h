#pragma once
#include <functional>
#include <memory>
#include <string>

#include "engine/gobject_ptr.h"
#include "pageprep/frame_table.h"
#include "shell/widgets/browse_control_widget.h"
#include "shell/window_state.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// A plain first main window: an address entry (Enter navigates) above the browse pane. It
// stands in for the skinned main window until that exists.
class MainWindow {
 public:
  explicit MainWindow(const std::string& homePage);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void Show();
  GtkWidget* Window() const { return window_.get(); }
  BrowseControlWidget& Browse() { return *browse_; }
  WindowState& State() { return state_; }
  FrameTable& Frames() { return frames_; }
  std::string AddressText() const;
  void EnterAddress(const std::string& address);

  std::function<void()> Closed;  // the user closed the window

 private:
  WindowState state_;
  FrameTable frames_;
  engine::GObjectPtr<GtkWidget> window_;
  GtkWidget* entry_ = nullptr;
  GtkWidget* box_ = nullptr;
  std::unique_ptr<BrowseControlWidget> browse_;
};

}  // namespace pq
