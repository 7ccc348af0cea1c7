#pragma once
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "publishing/page_revisions.h"
#include "publishing/revision_requests.h"

namespace pq {

class PreviewWindow;

// The modal dialog of the main window that lists the earlier versions of the page shown, with
// their times and sizes, previews the selected one in a preview window and restores it.
class EarlierVersionsDialog {
 public:
  // pageAddress: where the page is on the website (relative links in a preview resolve there).
  EarlierVersionsDialog(GtkWindow* parent, RevisionRequests& requests, std::string password,
                        std::string pageAddress, RevisionsReply listed);
  ~EarlierVersionsDialog();
  EarlierVersionsDialog(const EarlierVersionsDialog&) = delete;
  EarlierVersionsDialog& operator=(const EarlierVersionsDialog&) = delete;

  enum class Result {
    Closed,    // nothing changed on the website
    Restored,  // the selected version is the page on the website now
    Unknown    // a restore got no answer that tells: it may have happened
  };
  Result Run();
  // Asked before a restore is posted; false keeps everything as it is.
  std::function<bool()> MayRestore;

  GtkWindow* Window() const { return GTK_WINDOW(dialog_.get()); }
  GtkWidget* Label1 = nullptr;
  GtkWidget* List = nullptr;
  GtkWidget* PreviewButton = nullptr;
  GtkWidget* RestoreButton = nullptr;
  GtkWidget* CloseButton = nullptr;
  // The preview window this dialog opened last; nullptr when none is open.
  PreviewWindow* ShownPreview() const { return preview_; }

 private:
  const PageRevision* Selected() const;
  void SelectionChanged();
  void PreviewSelected();
  void RestoreSelected();
  void Busy(bool busy);
  static void OnSelection(GtkTreeSelection*, gpointer data);
  static void OnRowActivated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer data);

  RevisionRequests& requests_;
  std::string password_;
  std::string pageAddress_;
  std::vector<PageRevision> revisions_;
  engine::GObjectPtr<GtkWidget> dialog_;
  engine::SignalConnections signals_;
  bool previewUnavailable_ = false;
  bool working_ = false;
  Result result_ = Result::Closed;
  PreviewWindow* preview_ = nullptr;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace pq
