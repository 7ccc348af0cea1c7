// The Preview and Publish commands of the toolbar and the end of a publication.
#include "shell/widgets/main_form_window.h"

#include <gtk/gtk.h>

#include "engine/clipboard.h"
#include "engine/form_post.h"
#include "engine/http_fetch.h"
#include "engine/source_id.h"
#include "pageprep/markers.h"
#include "pageprep/url_ops.h"
#include "publishing/earlier_versions.h"
#include "publishing/revision_requests.h"
#include "publishing/publish_documents.h"
#include "publishing/publish_host.h"
#include "editor/widgets/edit_pane_documents.h"
#include "publishing/widgets/earlier_versions_dialog.h"
#include "publishing/widgets/message_box.h"
#include "publishing/widgets/password_form.h"
#include "publishing/widgets/preview_form.h"
#include "publishing/widgets/preview_window.h"
#include "publishing/widgets/problems_dialog.h"
#include "publishing/widgets/publish_complete_dialog.h"
#include "publishing/widgets/publish_form.h"

namespace pq {

namespace {

constexpr const char* kReloadedTitle = "Page Reloaded";

// How long the browse pane's reload may take before the Publish form stops waiting for it.
constexpr guint kReloadPollMs = 100;

// What the publishing forms read of the main window, its panes and the site check.
class MainWindowPublishing : public PublishHost {
 public:
  MainWindowPublishing(MainFormWindow& window, Settings& settings, UnpublishedChanges& unpublished)
      : window_(window),
        unpublished_(unpublished),
        settings_(settings),
        documents_(window.EditPaneWidget().View(), window.EditPaneWidget().Control()) {}

  const PageRecord& Record() override { return window_.BrowsePaneWidget().Control().Record; }
  FrameTable& Frames() override { return window_.Frames(); }
  LiveDocuments& Live() override { return documents_; }
  std::string CurrentOrigURL() override { return window_.EditPaneWidget().Control().OrigURL(); }
  bool PasswordEmailAllowed() override { return window_.EditPaneWidget().Site().PasswordEmailAllowed; }
  Settings& UserSettings() override { return settings_; }
  FetchedPage Fetch(const std::string& url, const std::function<bool()>& stop) override {
    return engine::FetchPageUnlessStopped(url, stop);
  }
  void RefreshBrowsePane(std::function<void()> reloaded) override {
    // Everything was stored: reloading the page loses nothing.
    unpublished_.MarkPublished(documents_);
    WindowState& state = window_.State();
    state.PublishState = "publishing";
    reloaded_ = std::move(reloaded);
    window_.BrowsePaneWidget().Control().refresh();
    // The browse pane empties PublishState when its reload has finished downloading.
    if (!poll_.Active()) poll_.StartTimeout(kReloadPollMs, &MainWindowPublishing::Poll, this);
  }
  void DropCachedCopies(const std::string&) override {
    window_.BrowsePaneWidget().View().ClearCache();
  }
  void ReloadKeepingEdits() override { window_.ReloadKeepingEdits(); }
  EarlierPublications* Earlier() override { return &unpublished_.Earlier(); }
  void PublishComplete(const std::vector<std::string>& storedFiles) override {
    window_.PublishComplete(storedFiles);
  }

 private:
  static gboolean Poll(gpointer data) {
    auto* self = static_cast<MainWindowPublishing*>(data);
    if (self->window_.State().PublishState == "publishing") return G_SOURCE_CONTINUE;
    self->poll_.Reset();  // the call below may start it again
    if (self->reloaded_) std::exchange(self->reloaded_, nullptr)();
    return G_SOURCE_REMOVE;
  }

  MainFormWindow& window_;
  UnpublishedChanges& unpublished_;
  Settings& settings_;
  EditPaneDocuments documents_;
  std::function<void()> reloaded_;
  engine::SourceId poll_;
};

}  // namespace

namespace {

// The span being edited is tidied and the watched link checked first; a link whose text was
// emptied stops the command (the edit pane has said why).
bool ReadyToRestore(EditControl& edit) {
  edit.StripBRs();
  bool ok = true;
  edit.CheckLink(ok);
  return ok;
}

}  // namespace

void MainFormWindow::PreviewCommand() {
  if (!ReadyToRestore(edit_->Control())) return;
  MainWindowPublishing host(*this, settings_, unpublished_);
  Preview form(Window(), host);
  form.Run();
}

void MainFormWindow::PublishCommand() {
  EditPaneLink& edit = *edit_;
  if (!ReadyToRestore(edit.Control())) return;
  Problems& problems = edit.PageProblems();
  problems.SetUp(edit.Site(), edit.Control().OrigURL());
  edit.Control().SetEditStatusBar(problems.OKtoPublish ? edit.Site().Status : PageStatus::NotEditable);
  if (problems.NumMessages > 0) {
    ProblemsDialog dialog(problems, Window());
    dialog.OpenHelp = [this](const std::string& page) { OpenHelp(page); };
    dialog.Run();
  }
  if (!problems.OKtoPublish) return;
  MainWindowPublishing host(*this, settings_, unpublished_);
  Password form(Window(), host);
  // The browse pane leaves the edit copy alone while the Publish form reloads the page.
  form.PublishStarting = [this](Publish&) { state_.PublishShowing = true; };
  form.Run();
  state_.PublishShowing = false;
  state_.PublishState.clear();
}

void MainFormWindow::UpdateEarlierVersions() {
  const std::string origUrl = edit_->Control().OrigURL();
  const EarlierVersionsCommandState command = EarlierVersionsState(
      !origUrl.empty(), edit_->Site().SiteReady, outdated_.Contains(SiteRootOf(origUrl)));
  gtk_widget_set_sensitive(earlier_, command.enabled);
  gtk_widget_set_tooltip_text(earlier_, command.tooltip.c_str());
}

void MainFormWindow::EarlierVersionsCommand() {
  const std::string origUrl = edit_->Control().OrigURL();
  const std::string siteRoot = SiteRootOf(origUrl);
  const std::string address = GetMarker(browse_->Control().Record.EditHTML(), "FullPath");
  if (siteRoot.empty() || address.empty()) return;
  RevisionRequests requests(
      siteRoot, RelativePathOf(address, siteRoot),
      [](const std::string& url) { return engine::FetchPage(url); },
      [](const std::string& url, const FormFields& fields) {
        engine::SubmitIEformCtrl submit;
        submit.SetFields(fields);
        engine::PostResult r = submit.Submit(url);
        return PostedReply{r.ok, std::move(r.bytes), std::move(r.problem)};
      });

  // The password, as for a publication; the list is the password's proof.
  MainWindowPublishing host(*this, settings_, unpublished_);
  std::string password;
  RevisionsReply listed;
  bool tooOld = false;
  std::string closing;  // why the form closed without a list
  {
    Password form(Window(), host);
    gtk_window_set_title(form.Window(), (std::string(kEarlierVersionsTitle) + " - Password").c_str());
    form.SiteRequest = [&](const std::string& typed) {
      listed = requests.List(typed);
      Password::RequestOutcome outcome;
      switch (listed.answer) {
        case RevisionsAnswer::Listed:
          password = typed;
          outcome.accepted = true;
          break;
        case RevisionsAnswer::TooOld:
          tooOld = true;
          outcome.closeForm = true;
          break;
        case RevisionsAnswer::Refused:
        case RevisionsAnswer::Unreadable:
          outcome.error = RevisionsProblemText(listed.answer, listed.message);
          break;
      }
      return outcome;
    };
    if (form.Run() != Password::Result::Published && !tooOld) return;
  }
  if (tooOld) {
    outdated_.Mark(siteRoot);
    UpdateEarlierVersions();
    ShowMessage(Window(), kEarlierVersionsTitle, kTooOldTooltip, MessageIcon::Information);
    return;
  }

  EarlierVersionsDialog dialog(Window(), requests, password, address, std::move(listed));
  // Restoring reloads the page: changes not yet published are asked about first.
  dialog.MayRestore = [this] { return MayLeavePage(); };
  if (dialog.Run() == EarlierVersionsDialog::Result::Closed) return;
  browse_->View().ClearCache();
  leaveAnswered_ = true;
  browse_->Control().refresh();
}

void MainFormWindow::ReloadKeepingEdits() {
  EditPaneDocuments documents(edit_->View(), edit_->Control());
  carried_ = CarriedEdits(DocumentsToPublish(browse_->Control().Record, frames_, documents));
  // Until they are back on the page, the clipboard keeps them.
  engine::SetClipboardText(EditsAsText(*carried_));
  browse_->Control().refresh();
}

void MainFormWindow::PutCarriedEditsBack() {
  std::vector<CarriedEdit> edits = std::move(*carried_);
  carried_.reset();
  EditPaneDocuments documents(edit_->View(), edit_->Control());
  const auto fresh = DocumentsToPublish(browse_->Control().Record, frames_, documents);
  const ReapplyPlan plan = PlanReapply(edits, fresh);
  std::vector<CarriedEdit> left = plan.left;
  for (const auto& change : plan.changes)
    if (!edit_->View().SetElementById(fresh[change.document].path, change.id, "innerHTML",
                                      change.html))
      left.push_back(edits[change.edit]);
  if (left.empty()) {
    ShowMessage(Window(), kReloadedTitle,
                "The page now shows what is on the website, with your changes put back. Check "
                "it, then publish again.",
                MessageIcon::Information);
    return;
  }
  engine::SetClipboardText(EditsAsText(left));
  std::string text =
      "The page now shows what is on the website. These changes of yours could not be put back, "
      "because that text was changed on the website too. They are on the clipboard, so you can "
      "paste them where they belong:\n";
  for (const auto& e : left) text += "\n\u2022 " + e.text;
  ShowMessage(Window(), kReloadedTitle, text, MessageIcon::Information);
}

bool MainFormWindow::MayLeavePage(bool closing) {
  if (state_.PublishShowing) return true;  // the Publish form reloads what it has just stored
  if (std::exchange(leaveAnswered_, false)) return true;
  if (carried_) return true;  // the edits travel to the reloaded page
  EditPaneDocuments documents(edit_->View(), edit_->Control());
  if (!unpublished_.Pending(documents)) return true;
  return AskQuestion(Window(), UnpublishedChanges::kTitle,
                     closing ? UnpublishedChanges::kClosingQuestion : UnpublishedChanges::kQuestion,
                     closing ? UnpublishedChanges::kClose : UnpublishedChanges::kLeave,
                     UnpublishedChanges::kStay);
}

void MainFormWindow::PublishComplete(const std::vector<std::string>& storedFiles) {
  PublishCompleteFrm dialog(Window(), edit_->Control().OrigURL(), storedFiles, [](const std::string& url) {
    PreviewWindow& window = PreviewWindow::Open();
    window.Navigate(url);
    window.Show();
  });
  dialog.Run();
}

}  // namespace pq
