#pragma once
#include <memory>

#include "engine/gobject_ptr.h"
#include "engine/web_view.h"
#include "pageprep/frame_table.h"
#include "shell/browse_control.h"
#include "shell/status_bar.h"
#include "shell/widgets/status_bar_widget.h"
#include "core/window_state.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

// The browse pane on screen: the web view above its status bar, wired to the BrowseControl
// logic. The pane's events and operations are those of Control().
class BrowseControlWidget : private BrowsePaneBrowser {
 public:
  BrowseControlWidget(WindowState& window, FrameTable& frames, Fetcher fetch);
  ~BrowseControlWidget() override;

  GtkWidget* Widget() const;
  BrowseControl& Control() { return control_; }
  engine::WebView& View() { return view_; }
  StatusBar& Status() { return status_; }

 private:
  void Navigate(const std::string& url) override { view_.Navigate(url); }
  void GoHome() override { view_.GoHome(); }
  void GoBack() override { view_.GoBack(); }
  void GoForward() override { view_.GoForward(); }
  void Refresh() override { view_.Refresh(); }
  void Stop() override { view_.Stop(); }
  std::string LocationURL() const override { return view_.LocationURL(); }
  bool Busy() const override { return view_.Busy(); }
  std::shared_ptr<const PageDocument> TopDocument() override;
  std::string DocumentCharset() override { return view_.DocumentCharset(); }
  void ReloadReadingUndeclaredAs(const std::string& charset) override { view_.ReloadReadingUndeclaredAs(charset); }

  engine::WebView view_;
  StatusBar status_;
  BrowseControl control_;
  StatusBarWidget statusWidget_;
  engine::GObjectPtr<GtkWidget> box_;
};

}  // namespace pq
