#pragma once
#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "pageprep/preview_loads.h"
#include "publishing/publish_host.h"
#include "publishing/widgets/animation.h"

namespace pq {

class PreviewWindow;

// The form that prepares a preview: it writes preview.htm and the frames' preview copies,
// loads them into a preview window of their own, and shows that window once the animation has
// run for at least 3.6 seconds. The window lives on after the form.
class Preview {
 public:
  Preview(GtkWindow* parent, PublishHost& host);
  ~Preview();
  Preview(const Preview&) = delete;
  Preview& operator=(const Preview&) = delete;

  // Shows the form, prepares and shows the preview window, and returns it (nullptr when the
  // user cancelled first). The form closes itself when done.
  PreviewWindow* Run();

  GtkWindow* Window() const { return GTK_WINDOW(dialog_.get()); }
  GtkWidget* Label1 = nullptr;
  GtkWidget* CancelButton = nullptr;
  const Animation& Pictures() const { return *animation_; }

  static constexpr int kMinimumTicks = 25;  // 24 ticks of 150 ms after the form appears

 private:
  void SetUpIE();
  void IEnavigateFrames(const FramePath& frame);
  void IESetupWait(const std::string& name) { loaded_.SetupWait(name); }
  bool IEWaitForPageLoad(const std::string& name);
  static void OnCancel(GtkWidget*, gpointer data);
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data);

  PublishHost& host_;
  engine::GObjectPtr<GtkWidget> dialog_;
  std::unique_ptr<Animation> animation_;
  engine::SignalConnections signals_;
  PreviewWindow* ie_ = nullptr;
  LoadedPages loaded_;
  bool cancelled_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace pq
