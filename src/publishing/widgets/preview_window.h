#pragma once
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "core/frame_path.h"
#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/web_view.h"

namespace pq {

// A top-level window of its own with its own web view, where previews and published pages are
// shown. It lives on after the dialog that opened it until the user closes it, and reports each
// loaded document and its closing.
class PreviewWindow {
 public:
  // Opens a new, hidden preview window; it stays until the user closes it (or CloseAll).
  static PreviewWindow& Open();
  // The windows open now, and the one opened last (nullptr when none is open).
  static int Count();
  static PreviewWindow* Newest();
  static void CloseAll();

  struct Key {  // only Open makes windows
   private:
    Key() = default;
    friend class PreviewWindow;
  };
  explicit PreviewWindow(Key);
  ~PreviewWindow();
  PreviewWindow(const PreviewWindow&) = delete;
  PreviewWindow& operator=(const PreviewWindow&) = delete;

  GtkWindow* Window() const { return GTK_WINDOW(window_.get()); }
  engine::WebView& View() { return view_; }
  void Navigate(const std::string& url) { view_.Navigate(url); }
  void Show();  // makes it visible and brings it to the front
  void Close();

  // A document of the window finished loading (the top document's comes last).
  std::function<void(const FramePath& frame, const std::string& url)> NavigateComplete;
  // The user closed the window.
  std::function<void()> Quit;

 private:
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data);
  static void OnTitle(GObject*, GParamSpec*, gpointer data);

  engine::GObjectPtr<GtkWidget> window_;
  engine::WebView view_;
  engine::SignalConnections signals_;
};

}  // namespace pq
