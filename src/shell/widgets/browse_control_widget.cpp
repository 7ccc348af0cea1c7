#include "shell/widgets/browse_control_widget.h"

#include <gtk/gtk.h>

namespace pq {

BrowseControlWidget::BrowseControlWidget(WindowState& window, FrameTable& frames, Fetcher fetch)
    : control_(*this, status_, window, frames, std::move(fetch)),
      statusWidget_(status_),
      box_(engine::GObjectPtr<GtkWidget>::Sink(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0))) {
  GtkWidget* web = view_.Widget();
  gtk_widget_set_hexpand(web, TRUE);
  gtk_widget_set_vexpand(web, TRUE);
  gtk_box_pack_start(GTK_BOX(box_.get()), web, TRUE, TRUE, 0);
  gtk_box_pack_end(GTK_BOX(box_.get()), statusWidget_.Widget(), FALSE, FALSE, 0);

  view_.BeforeNavigate = [this](const engine::WebView::NavigationRequest& r, bool& cancel) {
    control_.OnBeforeNavigate(r.url, r.topLevel, cancel);
  };
  view_.TopNavigationStarted = [this](const std::string& url) { control_.OnTopNavigationStarted(url); };
  view_.NavigateComplete = [this](const pq::FramePath& frame, const std::string& url) {
    if (frame.empty()) control_.OnTopCommitted(url);
  };
  view_.CommandStateChange = [this](int command, bool enabled) {
    control_.OnCommandStateChange(command, enabled);
  };
  view_.NewWindow = [this](const std::string&, bool& cancel) { control_.OnNewWindow(cancel); };
  view_.DownloadComplete = [this] { control_.OnDownloadComplete(); };
  view_.DocumentComplete = [this](const pq::FramePath& frame, const std::string&) {
    control_.OnDocumentComplete(frame.empty());
  };
}

BrowseControlWidget::~BrowseControlWidget() {
  view_.BeforeNavigate = nullptr;
  view_.TopNavigationStarted = nullptr;
  view_.NavigateComplete = nullptr;
  view_.CommandStateChange = nullptr;
  view_.NewWindow = nullptr;
  view_.DownloadComplete = nullptr;
  view_.DocumentComplete = nullptr;
  // The box goes first; the parts it holds have owners of their own and must outlive it intact.
  gtk_container_remove(GTK_CONTAINER(box_.get()), statusWidget_.Widget());
  gtk_container_remove(GTK_CONTAINER(box_.get()), view_.Widget());
}

GtkWidget* BrowseControlWidget::Widget() const { return box_.get(); }

std::shared_ptr<const PageDocument> BrowseControlWidget::TopDocument() {
  auto snapshot = view_.Snapshot({});
  if (!snapshot) {
    // The page could not be read (no answer from its script world): it is still prepared from
    // its source, which is fetched again anyway.
    snapshot.emplace();
    snapshot->location = view_.LocationURL();
  }
  return std::make_shared<DocumentSnapshot>(std::move(*snapshot));
}

}  // namespace pq
