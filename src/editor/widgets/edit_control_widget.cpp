#include "editor/widgets/edit_control_widget.h"

#include <gtk/gtk.h>

#include "engine/clipboard.h"
#include "engine/wait_until.h"

namespace pq {

namespace {
engine::WebView::Options EditViewOptions() {
  engine::WebView::Options o;
  o.fileAccess = true;  // the edit copy reaches the documents of its local frame copies
  // A page's script could rewrite a span, and that text would be published as the user's.
  o.pageScripts = false;
  o.clipboardAccess = false;
  return o;
}
}  // namespace

EditControlWidget::EditControlWidget(WindowState& window, FrameTable& frames, SiteStatus& site,
                                     Problems& problems, Fetcher fetch)
    : view_(EditViewOptions()),
      control_(*this, status_, window, frames, site, problems, std::move(fetch)),
      frame_(view_.Widget()),
      statusWidget_(status_),
      box_(engine::GObjectPtr<GtkWidget>::Sink(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0))) {
  GtkWidget* web = view_.Widget();
  gtk_widget_set_hexpand(web, TRUE);
  gtk_widget_set_vexpand(web, TRUE);
  gtk_box_pack_start(GTK_BOX(box_.get()), frame_.Widget(), TRUE, TRUE, 0);
  gtk_box_pack_end(GTK_BOX(box_.get()), statusWidget_.Widget(), FALSE, FALSE, 0);

  view_.BeforeNavigate = [this](const engine::WebView::NavigationRequest& r, bool& cancel) {
    control_.OnBeforeNavigate(r.url, cancel);
  };
  view_.NewWindow = [this](const std::string&, bool& cancel) { control_.OnNewWindow(cancel); };
  view_.NavigateComplete = [this](const FramePath& frame, const std::string& url) {
    control_.OnNavigateComplete(frame, url);
  };
  view_.DocumentComplete = [this](const FramePath& frame, const std::string& url) {
    control_.OnDocumentComplete(frame, url);
  };
  view_.DocumentEventFired = [this](const DocumentEvent& e) { control_.qEvent(e); };

  editingPage_.TimerFired = [this](EditTimer timer) { control_.TimerFired(timer); };
  control_.AttachEditing(editing_);
  // The menu's Cut and Copy follow the selection; choosing Cut or Copy makes Paste available.
  menu_.Cut = [this] {
    menu_.SetPasteEnabled(true);
    control_.Edit_Cut();
  };
  menu_.Copy = [this] {
    menu_.SetPasteEnabled(true);
    control_.Edit_Copy();
  };
  menu_.Paste = [this] { control_.Edit_Paste(); };
  auto raiseSelection = editing_.SelectionChange;
  editing_.SelectionChange = [this, raiseSelection](bool hasSelection) {
    menu_.SetCutEnabled(hasSelection);
    menu_.SetCopyEnabled(hasSelection);
    raiseSelection(hasSelection);
  };
  auto raiseCheckIcons = editing_.CheckIcons;
  editing_.CheckIcons = [this, raiseCheckIcons](bool editable) {
    menu_.SetPasteEnabled(editable && engine::ClipboardHasText());
    raiseCheckIcons(editable);
  };
  menu_.SetCutEnabled(false);
  menu_.SetCopyEnabled(false);
  menu_.SetPasteEnabled(false);
}

EditControlWidget::~EditControlWidget() {
  view_.BeforeNavigate = nullptr;
  view_.NewWindow = nullptr;
  view_.NavigateComplete = nullptr;
  view_.DocumentComplete = nullptr;
  view_.DocumentEventFired = nullptr;
  // The box goes first; the parts it holds have owners of their own and must outlive it intact.
  gtk_container_remove(GTK_CONTAINER(box_.get()), statusWidget_.Widget());
  gtk_container_remove(GTK_CONTAINER(box_.get()), frame_.Widget());
  gtk_container_remove(GTK_CONTAINER(frame_.Widget()), view_.Widget());
}

GtkWidget* EditControlWidget::Widget() const { return box_.get(); }

void EditControlWidget::Soon(std::function<void()> call) {
  soonCall_ = std::move(call);
  soon_.StartTimeout(0, [](gpointer data) -> gboolean {
    auto* self = static_cast<EditControlWidget*>(data);
    auto call = std::move(self->soonCall_);
    self->soonCall_ = nullptr;
    if (call) call();
    return G_SOURCE_REMOVE;
  }, this);
}

bool EditControlWidget::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  return engine::WaitUntil(done, limit);
}

}  // namespace pq
