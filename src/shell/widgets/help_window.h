#pragma once
#include <memory>
#include <string>

#include "engine/gobject_ptr.h"
#include "engine/web_view.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;

namespace pq {

// The program's own help in a window of its own: the user guide and the pages it links to,
// all from the data folder.
class HelpWindow {
 public:
  explicit HelpWindow(const std::string& page);
  ~HelpWindow();
  HelpWindow(const HelpWindow&) = delete;
  HelpWindow& operator=(const HelpWindow&) = delete;

  // Shows the window (again) with its page.
  void Present(GtkWindow* owner);
  GtkWindow* Window() const;
  engine::WebView& View() { return view_; }

 private:
  std::string page_;
  engine::GObjectPtr<GtkWidget> window_;
  engine::WebView view_;
};

// The help page of the user guide, as an address.
std::string UserGuideAddress();

}  // namespace pq
