#include "publishing/widgets/preview_form.h"

#include <chrono>

#include "engine/wait_until.h"
#include "pageprep/copy_address.h"
#include "pageprep/preview_file.h"
#include "pageprep/preview_frames.h"
#include "publishing/publish_documents.h"
#include "publishing/widgets/modal_dialog.h"
#include "publishing/widgets/preview_window.h"

namespace pq {

namespace {

// A page that never reports its load does not hold the preview up longer than this.
constexpr auto kLoadWait = std::chrono::seconds(15);

}  // namespace

Preview::Preview(GtkWindow* parent, PublishHost& host)
    : host_(host), dialog_(engine::GObjectPtr<GtkWidget>::Sink(gtk_dialog_new())) {
  GtkWidget* d = dialog_.get();
  gtk_window_set_title(GTK_WINDOW(d), "WebPage Preview");
  gtk_widget_set_name(d, "Preview");
  MakeModal(GTK_WINDOW(d), parent);
  GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(d));
  gtk_container_set_border_width(GTK_CONTAINER(area), 16);
  gtk_box_set_spacing(GTK_BOX(area), 12);
  Label1 = gtk_label_new("Preparing Web Page for preview");
  gtk_widget_set_name(Label1, "Label1");
  animation_ = std::make_unique<Animation>(
      "Publishing", 8, 150, parent ? gtk_widget_get_scale_factor(GTK_WIDGET(parent)) : 1);
  gtk_box_pack_start(GTK_BOX(area), Label1, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(area), animation_->Widget(), FALSE, FALSE, 0);
  CancelButton = gtk_dialog_add_button(GTK_DIALOG(d), "Cancel", GTK_RESPONSE_CANCEL);
  gtk_widget_set_name(CancelButton, "CancelButton");
  atk_object_set_name(gtk_widget_get_accessible(CancelButton), "Cancel");
  signals_.Connect(CancelButton, "clicked", G_CALLBACK(&Preview::OnCancel), this);
  signals_.Connect(d, "delete-event", G_CALLBACK(&Preview::OnDelete), this);
}

Preview::~Preview() {
  signals_.DisconnectAll();
  gtk_widget_destroy(dialog_.get());
}

void Preview::OnCancel(GtkWidget*, gpointer data) { static_cast<Preview*>(data)->cancelled_ = true; }

gboolean Preview::OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  OnCancel(nullptr, data);
  return TRUE;
}

PreviewWindow* Preview::Run() {
  cancelled_ = false;
  gtk_widget_show_all(dialog_.get());
  animation_->Start();
  engine::WaitUntil([this] { return gtk_widget_get_mapped(dialog_.get()); },
                    std::chrono::milliseconds(500));
  SetUpIE();
  animation_->Stop();
  gtk_widget_hide(dialog_.get());
  return ie_;
}

bool Preview::IEWaitForPageLoad(const std::string& name) {
  return engine::WaitUntil([&] { return cancelled_ || loaded_.WasLoaded(name); }, kLoadWait);
}

void Preview::SetUpIE() {
  loaded_.Clear();
  LiveDocuments& live = host_.Live();
  const bool hasFrames = live.FrameCount({}) > 0;
  if (hasFrames) {
    host_.Frames().Counter = 1;
    PreviewFrames(live, host_.Frames());
  }
  const auto documents = DocumentsToPublish(host_.Record(), host_.Frames(), live);
  const std::string path =
      WritePreviewFile(host_.CurrentOrigURL(), hasFrames, PreviewText(documents.front()));
  if (path.empty() || cancelled_) return;

  ie_ = &PreviewWindow::Open();
  std::weak_ptr<bool> token = alive_;
  ie_->NavigateComplete = [this, token](const FramePath&, const std::string& url) {
    if (!token.expired()) loaded_.Loaded(url);
  };
  ie_->Quit = [this, token] {
    if (!token.expired()) ie_ = nullptr;
  };
  IESetupWait(kPreviewFileName);
  ie_->Navigate(CopyAddressOf(path));
  IEWaitForPageLoad(kPreviewFileName);
  if (hasFrames && ie_ && !cancelled_) {
    host_.Frames().Counter = 1;
    IEnavigateFrames({});
  }
  engine::WaitUntil([this] { return cancelled_ || animation_->Ticks() >= kMinimumTicks; },
                    std::chrono::seconds(10));
  if (!ie_) return;
  ie_->NavigateComplete = nullptr;
  ie_->Quit = nullptr;
  if (cancelled_) {
    ie_->Close();
    ie_ = nullptr;
    return;
  }
  ie_->Show();
}

void Preview::IEnavigateFrames(const FramePath& frame) {
  if (!ie_ || frame.size() > kMaxFrameDepth) return;
  FrameTable& table = host_.Frames();
  const int count = ie_->View().FrameCount(frame);
  for (int i = 0; i < count && !table.Full() && ie_ && !cancelled_; ++i) {
    const FrameEntry& entry = table[table.Counter];
    ++table.Counter;
    if (entry.File == kFrameError || entry.PreviewFile.empty()) continue;
    FramePath child = frame;
    child.push_back(i);
    IESetupWait(entry.PreviewFile);
    ie_->View().NavigateFrame(child, CopyAddressOf(entry.PreviewFile));
    IEWaitForPageLoad(entry.PreviewFile);
    if (entry.HasFrames) IEnavigateFrames(child);
  }
}

}  // namespace pq
