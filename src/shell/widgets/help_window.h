#pragma once
#include <memory>
#include <string>

#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/web_view.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
typedef struct _GdkEventKey GdkEventKey;

namespace pq {

// The program's own help in a window of its own: the user guide and the pages it links to,
// all from the data folder, with Back and Forward (also Alt+Left and Alt+Right).
class HelpWindow {
 public:
  explicit HelpWindow(const std::string& page);
  ~HelpWindow();
  HelpWindow(const HelpWindow&) = delete;
  HelpWindow& operator=(const HelpWindow&) = delete;

  // Shows the window (again) with its page, or with `page` when one is named.
  void Present(GtkWindow* owner, const std::string& page = "");
  GtkWindow* Window() const;
  engine::WebView& View() { return view_; }
  GtkWidget* BackButton() const { return back_; }
  GtkWidget* ForwardButton() const { return forward_; }

 private:
  void UpdateButtons();
  static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer self);

  std::string page_;
  engine::GObjectPtr<GtkWidget> window_;
  engine::WebView view_;
  GtkWidget* back_ = nullptr;
  GtkWidget* forward_ = nullptr;
  engine::SignalConnections signals_;
};

// The help page of the user guide, as an address.
std::string UserGuideAddress();

}  // namespace pq
