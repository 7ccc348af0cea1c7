#include "publishing/widgets/publish_complete_dialog.h"

#include <gtk/gtk.h>

#include "publishing/problems.h"
#include "publishing/stored_files_caption.h"
#include "publishing/widgets/modal_dialog.h"

namespace pq {

namespace {
constexpr int kOk = 1;
constexpr int kPictureSize = 48;

GtkWidget* Centred(const char* text) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 50);
  return label;
}
}  // namespace

PublishCompleteFrm::PublishCompleteFrm(GtkWindow* parent, std::string origUrl,
                                       std::vector<std::string> storedFiles,
                                       std::function<void(const std::string&)> openPage)
    : origUrl_(std::move(origUrl)),
      openPage_(std::move(openPage)),
      dialog_(NewModalDialog("Publishing Complete", parent)) {

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
  gtk_container_set_border_width(GTK_CONTAINER(column), 16);
  gtk_box_pack_start(GTK_BOX(column), PublishingPicture("PublishComplete", parent, kPictureSize), FALSE, FALSE, 0);
  GtkWidget* heading = gtk_label_new(nullptr);
  gtk_label_set_markup(GTK_LABEL(heading), "<span size=\"large\"><b>Publishing Complete</b></span>");
  gtk_box_pack_start(GTK_BOX(column), heading, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), Centred("Your changes have been successfully published:"), FALSE, FALSE, 0);
  LabelURL = gtk_label_new(nullptr);
  char* markup = g_markup_printf_escaped("<a href=\"published\">%s</a>", PublishedAddressCaption(origUrl_).c_str());
  gtk_label_set_markup(GTK_LABEL(LabelURL), markup);
  g_free(markup);
  gtk_label_set_ellipsize(GTK_LABEL(LabelURL), PANGO_ELLIPSIZE_MIDDLE);
  gtk_label_set_max_width_chars(GTK_LABEL(LabelURL), 60);
  signals_.Connect(LabelURL, "activate-link", G_CALLBACK(+[](GtkLabel*, gchar*, gpointer self) -> gboolean {
                     static_cast<PublishCompleteFrm*>(self)->OpenPublishedPage();
                     return TRUE;
                   }),
                   this);
  gtk_box_pack_start(GTK_BOX(column), LabelURL, FALSE, FALSE, 0);
  if (const std::string stored = StoredFilesCaption(origUrl_, storedFiles); !stored.empty()) {
    LabelStored = Centred(stored.c_str());
    gtk_label_set_line_wrap(GTK_LABEL(LabelStored), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(LabelStored), 60);
    gtk_widget_set_name(LabelStored, "LabelStored");
    gtk_box_pack_start(GTK_BOX(column), LabelStored, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(column), Centred("(There may be a delay before these changes appear on your website)"),
                     FALSE, FALSE, 0);
  GtkDialog* dialog = GTK_DIALOG(dialog_.get());
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(dialog)), column, TRUE, TRUE, 0);
  OKbutton = gtk_dialog_add_button(dialog, "OK", kOk);
  gtk_widget_set_name(OKbutton, "OKbutton");
  gtk_dialog_set_default_response(dialog, kOk);
}

PublishCompleteFrm::~PublishCompleteFrm() = default;

void PublishCompleteFrm::Run() { RunModal(dialog_.get(), OKbutton); }

void PublishCompleteFrm::OpenPublishedPage() {
  if (openPage_) openPage_(origUrl_);
  gtk_dialog_response(GTK_DIALOG(dialog_.get()), kOk);
}

}  // namespace pq
