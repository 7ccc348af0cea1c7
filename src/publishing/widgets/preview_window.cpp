#include "publishing/widgets/preview_window.h"

#include <algorithm>
#include <vector>

#include "engine/source_id.h"

namespace pq {

namespace {

constexpr const char* kTitle = "Pagequill Preview";

std::vector<std::unique_ptr<PreviewWindow>>& Windows() {
  static std::vector<std::unique_ptr<PreviewWindow>> windows;
  return windows;
}

// Closed windows wait here until the handler that closed them has returned, then go together.
struct ClosingWindows {
  std::vector<std::unique_ptr<PreviewWindow>> windows;
  engine::SourceId idle;
};
ClosingWindows& Closing() {
  static ClosingWindows closing;
  return closing;
}

gboolean RemoveClosed(gpointer) {
  Closing().idle.Reset();
  auto windows = std::move(Closing().windows);  // moved out first: a window's teardown may close another
  windows.clear();
  return G_SOURCE_REMOVE;
}

}  // namespace

PreviewWindow& PreviewWindow::Open() {
  Windows().push_back(std::make_unique<PreviewWindow>(Key()));
  return *Windows().back();
}

int PreviewWindow::Count() { return static_cast<int>(Windows().size()); }

PreviewWindow* PreviewWindow::Newest() { return Windows().empty() ? nullptr : Windows().back().get(); }

void PreviewWindow::CloseAll() {
  while (!Windows().empty()) Windows().back()->Close();
}

PreviewWindow::PreviewWindow(Key)
    : window_(engine::GObjectPtr<GtkWidget>::Ref(gtk_window_new(GTK_WINDOW_TOPLEVEL))),
      view_(engine::WebView::Options{.fileAccess = true, .clipboardAccess = false}) {
  gtk_window_set_title(GTK_WINDOW(window_.get()), kTitle);
  gtk_widget_set_name(window_.get(), "PreviewWindow");
  gtk_window_set_default_size(GTK_WINDOW(window_.get()), 1000, 720);
  gtk_container_add(GTK_CONTAINER(window_.get()), view_.Widget());
  gtk_widget_show(view_.Widget());
  view_.DocumentComplete = [this](const FramePath& frame, const std::string& url) {
    if (NavigateComplete) NavigateComplete(frame, url);
  };
  // Links that want a window of their own open in this one.
  view_.NewWindow = [this](const std::string& url, bool& cancel) {
    cancel = true;
    if (!url.empty()) view_.Navigate(url);
  };
  signals_.Connect(window_.get(), "delete-event", G_CALLBACK(&PreviewWindow::OnDelete), this);
  signals_.Connect(view_.Widget(), "notify::title", G_CALLBACK(&PreviewWindow::OnTitle), this);
}

PreviewWindow::~PreviewWindow() {
  signals_.DisconnectAll();
  // The view keeps its own widget; it goes with the view, after the window.
  gtk_container_remove(GTK_CONTAINER(window_.get()), view_.Widget());
  gtk_widget_destroy(window_.get());
}

void PreviewWindow::Show() {
  gtk_widget_show(window_.get());
  gtk_window_present(GTK_WINDOW(window_.get()));
}

void PreviewWindow::Close() {
  gtk_widget_hide(window_.get());
  if (Quit) Quit();
  auto& all = Windows();
  auto it = std::find_if(all.begin(), all.end(), [this](const auto& w) { return w.get() == this; });
  if (it == all.end()) return;
  // Taken out now; destroyed once the handler that closed it has returned.
  Closing().windows.push_back(std::move(*it));
  all.erase(it);
  if (!Closing().idle.Active()) Closing().idle.StartIdle(&RemoveClosed, nullptr);
}

gboolean PreviewWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<PreviewWindow*>(data)->Close();
  return TRUE;  // the window goes with its owner
}

void PreviewWindow::OnTitle(GObject* view, GParamSpec*, gpointer data) {
  auto* self = static_cast<PreviewWindow*>(data);
  gchar* title = nullptr;
  g_object_get(view, "title", &title, nullptr);
  const std::string page = title ? title : "";
  g_free(title);
  gtk_window_set_title(GTK_WINDOW(self->window_.get()),
                       page.empty() ? kTitle : (page + " - " + kTitle).c_str());
}

}  // namespace pq
