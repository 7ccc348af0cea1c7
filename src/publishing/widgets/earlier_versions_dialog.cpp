#include "publishing/widgets/earlier_versions_dialog.h"

#include <chrono>

#include "engine/wait_until.h"
#include "pageprep/copy_address.h"
#include "text/page_decoding.h"
#include "pageprep/temp_files.h"
#include "publishing/earlier_versions.h"
#include "publishing/widgets/message_box.h"
#include "publishing/widgets/modal_dialog.h"
#include "publishing/widgets/preview_window.h"

namespace pq {

namespace {

enum Column { kTimeColumn, kSizeColumn, kIndexColumn, kColumns };
enum Response { kClose = 1, kPreview, kRestore };

constexpr const char* kPreviewPrefix = "revision";
constexpr auto kPreviewLoadWait = std::chrono::seconds(15);

void Named(GtkWidget* widget, const char* name, const char* accessible) {
  gtk_widget_set_name(widget, name);
  atk_object_set_name(gtk_widget_get_accessible(widget), accessible);
}

std::string Introduction(std::size_t count, std::size_t unreadable) {
  std::string text =
      count == 0 ? "The website keeps no earlier versions of this page yet. Each publication "
                   "keeps the version it replaces."
                 : "The versions this page had on the website before, newest first. Preview one "
                   "to see it, or restore it: the page as it is now is kept as an earlier "
                   "version, so a restore can be undone.";
  if (unreadable > 0)
    text += "\n\n" + std::to_string(unreadable) +
            (unreadable == 1 ? " entry" : " entries") +
            " of the website's list could not be read and " + (unreadable == 1 ? "is" : "are") +
            " not shown.";
  return text;
}

}  // namespace

EarlierVersionsDialog::EarlierVersionsDialog(GtkWindow* parent, RevisionRequests& requests,
                                             std::string password, std::string pageAddress,
                                             RevisionsReply listed)
    : requests_(requests),
      password_(std::move(password)),
      pageAddress_(std::move(pageAddress)),
      revisions_(std::move(listed.revisions)),
      dialog_(engine::GObjectPtr<GtkWidget>::Sink(gtk_dialog_new())) {
  GtkWidget* d = dialog_.get();
  gtk_window_set_title(GTK_WINDOW(d), kEarlierVersionsTitle);
  gtk_widget_set_name(d, "EarlierVersions");
  MakeModal(GTK_WINDOW(d), parent);

  GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(d));
  gtk_container_set_border_width(GTK_CONTAINER(area), 12);
  gtk_box_set_spacing(GTK_BOX(area), 10);
  const std::string heading = "Earlier versions of " + requests_.File();
  GtkWidget* title = gtk_label_new(nullptr);
  gchar* markup = g_markup_printf_escaped("<b>%s</b>", heading.c_str());
  gtk_label_set_markup(GTK_LABEL(title), markup);
  g_free(markup);
  gtk_label_set_xalign(GTK_LABEL(title), 0);
  gtk_label_set_ellipsize(GTK_LABEL(title), PANGO_ELLIPSIZE_MIDDLE);
  Label1 = gtk_label_new(Introduction(revisions_.size(), listed.unreadable).c_str());
  gtk_label_set_xalign(GTK_LABEL(Label1), 0);
  gtk_label_set_line_wrap(GTK_LABEL(Label1), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(Label1), 56);
  gtk_widget_set_name(Label1, "Label1");

  engine::GObjectPtr<GtkListStore> owned(gtk_list_store_new(kColumns, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_INT));
  GtkListStore* store = owned.get();
  for (std::size_t i = 0; i < revisions_.size(); ++i) {
    GtkTreeIter row;
    gtk_list_store_append(store, &row);
    gtk_list_store_set(store, &row, kTimeColumn, LocalTimeText(revisions_[i].utcSeconds).c_str(),
                       kSizeColumn, SizeText(revisions_[i].size).c_str(), kIndexColumn,
                       static_cast<int>(i), -1);
  }
  List = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));  // the view takes its own reference
  Named(List, "List", "Earlier versions");
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  gtk_tree_view_append_column(GTK_TREE_VIEW(List), gtk_tree_view_column_new_with_attributes(
                                                       "Saved", text, "text", kTimeColumn, nullptr));
  GtkCellRenderer* size = gtk_cell_renderer_text_new();
  g_object_set(size, "xalign", 1.0, nullptr);
  gtk_tree_view_append_column(GTK_TREE_VIEW(List), gtk_tree_view_column_new_with_attributes(
                                                       "Size", size, "text", kSizeColumn, nullptr));
  GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
  gtk_scrolled_window_set_min_content_height(GTK_SCROLLED_WINDOW(scroller), 220);
  gtk_scrolled_window_set_min_content_width(GTK_SCROLLED_WINDOW(scroller), 440);
  gtk_container_add(GTK_CONTAINER(scroller), List);
  for (GtkWidget* w : {title, Label1}) gtk_box_pack_start(GTK_BOX(area), w, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(area), scroller, TRUE, TRUE, 0);

  PreviewButton = gtk_dialog_add_button(GTK_DIALOG(d), "Preview", kPreview);
  RestoreButton = gtk_dialog_add_button(GTK_DIALOG(d), "Restore", kRestore);
  CloseButton = gtk_dialog_add_button(GTK_DIALOG(d), "Close", kClose);
  Named(PreviewButton, "PreviewButton", "Preview");
  Named(RestoreButton, "RestoreButton", "Restore");
  Named(CloseButton, "CloseButton", "Close");
  gtk_widget_set_tooltip_text(PreviewButton, "Show the selected version in a preview window");
  gtk_widget_set_tooltip_text(RestoreButton,
                              "Put the selected version back on the website; the page as it is "
                              "now is kept as an earlier version");
  signals_.Connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(List)), "changed",
                   G_CALLBACK(&EarlierVersionsDialog::OnSelection), this);
  signals_.Connect(List, "row-activated", G_CALLBACK(&EarlierVersionsDialog::OnRowActivated), this);
  gtk_dialog_set_default_response(GTK_DIALOG(d), kClose);
  SelectionChanged();
}

EarlierVersionsDialog::~EarlierVersionsDialog() {
  signals_.DisconnectAll();
  if (preview_) {
    // The preview stays open for the user; it no longer reports here.
    preview_->NavigateComplete = nullptr;
    preview_->Quit = nullptr;
  }
  gtk_widget_destroy(dialog_.get());
}

EarlierVersionsDialog::Result EarlierVersionsDialog::Run() {
  DeleteNumberedFiles(kPreviewPrefix);  // previews of an earlier dialog
  result_ = Result::Closed;
  gtk_widget_show_all(dialog_.get());
  if (!revisions_.empty()) {
    GtkTreePath* first = gtk_tree_path_new_first();
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(List)), first);
    gtk_tree_path_free(first);
    gtk_widget_grab_focus(List);
  }
  // Preview and Restore work inside the dialog; Close, or a restore, ends it.
  while (result_ == Result::Closed) {
    const int response = gtk_dialog_run(GTK_DIALOG(dialog_.get()));
    if (response == kPreview) {
      PreviewSelected();
    } else if (response == kRestore) {
      RestoreSelected();
    } else if (!working_) {
      break;
    }
  }
  gtk_widget_hide(dialog_.get());
  return result_;
}

const PageRevision* EarlierVersionsDialog::Selected() const {
  GtkTreeModel* model = nullptr;
  GtkTreeIter row;
  if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(List)), &model,
                                       &row))
    return nullptr;
  int index = -1;
  gtk_tree_model_get(model, &row, kIndexColumn, &index, -1);
  if (index < 0 || static_cast<std::size_t>(index) >= revisions_.size()) return nullptr;
  return &revisions_[static_cast<std::size_t>(index)];
}

void EarlierVersionsDialog::SelectionChanged() {
  const bool chosen = Selected() != nullptr && !working_;
  gtk_widget_set_sensitive(PreviewButton, chosen && !previewUnavailable_);
  gtk_widget_set_sensitive(RestoreButton, chosen);
}

void EarlierVersionsDialog::Busy(bool busy) {
  working_ = busy;
  GdkWindow* window = gtk_widget_get_window(dialog_.get());
  engine::GObjectPtr<GdkCursor> cursor(
      busy ? gdk_cursor_new_for_display(gtk_widget_get_display(dialog_.get()), GDK_WATCH) : nullptr);
  if (window) gdk_window_set_cursor(window, cursor.get());
  gtk_widget_set_sensitive(CloseButton, !busy);
  SelectionChanged();
}

void EarlierVersionsDialog::PreviewSelected() {
  const PageRevision* revision = Selected();
  if (!revision || working_ || previewUnavailable_) return;
  const std::string id = revision->id;
  Busy(true);
  const RevisionBytesReply reply = requests_.Fetch(password_, id);
  Busy(false);
  if (reply.answer == RevisionsAnswer::TooOld) {
    previewUnavailable_ = true;
    gtk_widget_set_tooltip_text(PreviewButton,
                                "The site script on this website cannot send earlier versions, "
                                "so they cannot be previewed; they can still be restored.");
    SelectionChanged();
    ShowMessage(Window(), "Preview Not Available",
                "The site script on this website cannot send earlier versions, so they cannot be "
                "previewed here. You can still restore one; ask the website's designer to install "
                "the current site script to preview them.",
                MessageIcon::Information);
    return;
  }
  if (reply.answer != RevisionsAnswer::Listed) {
    ShowMessage(Window(), "Error", RevisionsProblemText(reply.answer, reply.message),
                MessageIcon::CriticalStop);
    return;
  }
  // The version as the browser would read it from the website: its own character set.
  const std::string path = NumberedFileName(kPreviewPrefix);
  if (!WriteEditCopy(path, pageAddress_, DecodePage(reply.bytes, "").text)) {
    ShowMessage(Window(), "Error",
                "The preview could not be written to the temporary folder " + TempFolder() + ".",
                MessageIcon::CriticalStop);
    return;
  }
  if (!preview_) {
    preview_ = &PreviewWindow::Open();
    // A group of its own: the preview can be scrolled while this dialog holds the main window.
    engine::GObjectPtr<GtkWindowGroup> group(gtk_window_group_new());
    gtk_window_group_add_window(group.get(), preview_->Window());  // the window keeps the group
    std::weak_ptr<bool> token = alive_;
    preview_->Quit = [this, token] {
      if (!token.expired()) preview_ = nullptr;
    };
  }
  bool loaded = false;
  std::weak_ptr<bool> token = alive_;
  preview_->NavigateComplete = [&loaded, token](const FramePath& frame, const std::string&) {
    if (!token.expired() && frame.empty()) loaded = true;
  };
  preview_->Navigate(CopyAddressOf(path));
  engine::WaitUntil([&] { return loaded || !preview_; }, kPreviewLoadWait);
  if (!preview_) return;
  preview_->NavigateComplete = nullptr;
  preview_->Show();
  // The dialog, small, stays in front: the next choice is made there, the preview seen around it.
  gtk_window_present(Window());
}

void EarlierVersionsDialog::RestoreSelected() {
  const PageRevision* revision = Selected();
  if (!revision || working_) return;
  const std::string id = revision->id;
  if (MayRestore && !MayRestore()) return;
  Busy(true);
  const RestoreReply reply = requests_.Restore(password_, id);
  Busy(false);
  if (reply.answer == RevisionsAnswer::Listed) {
    result_ = Result::Restored;
    return;
  }
  if (reply.answer == RevisionsAnswer::Unreadable) {
    ShowMessage(Window(), "Earlier Versions",
                "The website did not answer in time, so the version may or may not have been "
                "restored. Pagequill reloads the page to show what the website holds now.",
                MessageIcon::Information);
    result_ = Result::Unknown;
    return;
  }
  ShowMessage(Window(), "Error", RevisionsProblemText(reply.answer, reply.message),
              MessageIcon::CriticalStop);
}

void EarlierVersionsDialog::OnSelection(GtkTreeSelection*, gpointer data) {
  static_cast<EarlierVersionsDialog*>(data)->SelectionChanged();
}
void EarlierVersionsDialog::OnRowActivated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*,
                                           gpointer data) {
  static_cast<EarlierVersionsDialog*>(data)->PreviewSelected();
}

}  // namespace pq
