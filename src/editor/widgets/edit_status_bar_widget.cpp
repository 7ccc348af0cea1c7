#include "editor/widgets/edit_status_bar_widget.h"

#include "engine/picture_file.h"

#include "core/data_folder.h"

#include <gtk/gtk.h>

#include <string>

namespace pq {

namespace {

constexpr int kPictureSize = 15;

const char* PictureName(EditStatusIcon icon) {
  switch (icon) {
    case EditStatusIcon::Tick: return "StatusTick";
    case EditStatusIcon::Exclamation: return "StatusExclamation";
    case EditStatusIcon::Cross: return "StatusCross";
    case EditStatusIcon::None: break;
  }
  return nullptr;
}

// The picture drawn at the widget's scale, so it stays sharp on a dense screen.
void ShowPicture(GtkWidget* image, const char* name) {
  const int scale = gtk_widget_get_scale_factor(image);
  const std::string path = DataFolder() + "/editor/" + name + ".svg";
  engine::GObjectPtr<GdkPixbuf> pixbuf(
      engine::LoadPicture(path, kPictureSize * scale, kPictureSize * scale));
  if (!pixbuf) {
    gtk_image_clear(GTK_IMAGE(image));
    return;
  }
  cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(pixbuf.get(), scale, nullptr);
  gtk_image_set_from_surface(GTK_IMAGE(image), surface);
  cairo_surface_destroy(surface);
}

}  // namespace

EditStatusBarWidget::EditStatusBarWidget(EditStatusBar& status)
    : status_(status), box_(engine::GObjectPtr<GtkWidget>::Sink(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6))) {
  gtk_widget_set_size_request(box_.get(), -1, kHeight);
  gtk_widget_set_name(box_.get(), "EditStatusBar");
  picture_ = gtk_image_new();
  gtk_widget_set_size_request(picture_, kPictureSize, kPictureSize);
  gtk_widget_set_valign(picture_, GTK_ALIGN_CENTER);
  gtk_widget_set_margin_start(picture_, 6);
  gtk_widget_set_no_show_all(picture_, TRUE);
  label_ = gtk_label_new("");
  gtk_label_set_xalign(GTK_LABEL(label_), 0.0f);
  gtk_label_set_ellipsize(GTK_LABEL(label_), PANGO_ELLIPSIZE_END);
  gtk_widget_set_margin_start(label_, 6);
  gtk_box_pack_start(GTK_BOX(box_.get()), picture_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box_.get()), label_, TRUE, TRUE, 0);
  status_.Changed = [this] { Update(); };
  Update();
}

EditStatusBarWidget::~EditStatusBarWidget() { status_.Changed = nullptr; }

GtkWidget* EditStatusBarWidget::Widget() const { return box_.get(); }

void EditStatusBarWidget::Update() {
  const char* name = PictureName(status_.Icon());
  if (name) ShowPicture(picture_, name);
  gtk_widget_set_visible(picture_, name != nullptr);
  gtk_label_set_text(GTK_LABEL(label_), status_.Text().c_str());
}

}  // namespace pq
