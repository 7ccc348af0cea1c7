#include "publishing/widgets/publish_complete_dialog.h"

#include "engine/picture_file.h"

#include "publishing/stored_files_caption.h"

#include "core/data_folder.h"

#include <gtk/gtk.h>

#include "engine/gobject_ptr.h"
#include "publishing/widgets/modal_dialog.h"
#include "publishing/problems.h"

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
    : origUrl_(std::move(origUrl)), openPage_(std::move(openPage)) {
  dialog_ = gtk_dialog_new();
  g_object_ref_sink(dialog_);
  gtk_window_set_title(GTK_WINDOW(dialog_), "Publishing Complete");
  MakeModal(GTK_WINDOW(dialog_), parent);

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
  gtk_container_set_border_width(GTK_CONTAINER(column), 16);
  const int scale = parent ? gtk_widget_get_scale_factor(GTK_WIDGET(parent)) : 1;
  const std::string path = DataFolder() + "/publishing/PublishComplete.svg";
  engine::GObjectPtr<GdkPixbuf> pixbuf(
      engine::LoadPicture(path, kPictureSize * scale, kPictureSize * scale));
  GtkWidget* image = gtk_image_new();
  if (pixbuf) {
    cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(pixbuf.get(), scale, nullptr);
    gtk_image_set_from_surface(GTK_IMAGE(image), surface);
    cairo_surface_destroy(surface);
  }
  gtk_box_pack_start(GTK_BOX(column), image, FALSE, FALSE, 0);
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
  g_signal_connect(LabelURL, "activate-link", G_CALLBACK(+[](GtkLabel*, gchar*, gpointer self) -> gboolean {
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
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog_))), column, TRUE, TRUE, 0);
  OKbutton = gtk_dialog_add_button(GTK_DIALOG(dialog_), "OK", kOk);
  gtk_widget_set_name(OKbutton, "OKbutton");
  gtk_dialog_set_default_response(GTK_DIALOG(dialog_), kOk);
}

PublishCompleteFrm::~PublishCompleteFrm() {
  gtk_widget_destroy(dialog_);
  g_object_unref(dialog_);
}

void PublishCompleteFrm::Run() {
  gtk_widget_show_all(dialog_);
  gtk_widget_grab_focus(OKbutton);
  gtk_dialog_run(GTK_DIALOG(dialog_));
  gtk_widget_hide(dialog_);
}

void PublishCompleteFrm::OpenPublishedPage() {
  if (openPage_) openPage_(origUrl_);
  gtk_dialog_response(GTK_DIALOG(dialog_), kOk);
}

}  // namespace pq
