#include "shell/widgets/status_bar_widget.h"

#include <gtk/gtk.h>

namespace pq {

StatusBarWidget::StatusBarWidget(StatusBar& status)
    : status_(status),
      progress_(status.Progress()),
      overlay_(engine::GObjectPtr<GtkWidget>::Sink(gtk_overlay_new())) {
  gtk_widget_set_size_request(overlay_.get(), -1, kHeight);
  label_ = gtk_label_new("");
  gtk_label_set_xalign(GTK_LABEL(label_), 0.0f);
  gtk_label_set_ellipsize(GTK_LABEL(label_), PANGO_ELLIPSIZE_END);
  gtk_widget_set_margin_start(label_, 6);
  gtk_container_add(GTK_CONTAINER(overlay_.get()), label_);

  GtkWidget* bar = progress_.Widget();
  gtk_widget_set_halign(bar, GTK_ALIGN_END);
  gtk_widget_set_valign(bar, GTK_ALIGN_FILL);
  gtk_widget_set_margin_top(bar, 4);
  gtk_widget_set_margin_bottom(bar, 4);
  gtk_widget_set_margin_end(bar, 6);
  gtk_widget_set_no_show_all(bar, TRUE);
  gtk_overlay_add_overlay(GTK_OVERLAY(overlay_.get()), bar);

  status_.Changed = [this] { Update(); };
  status_.Progress().Changed = [this] { progress_.Update(); };
  Update();
}

StatusBarWidget::~StatusBarWidget() {
  status_.Changed = nullptr;
  status_.Progress().Changed = nullptr;
}

GtkWidget* StatusBarWidget::Widget() const { return overlay_.get(); }

void StatusBarWidget::Update() {
  gtk_label_set_text(GTK_LABEL(label_), status_.Text().c_str());
  gtk_widget_set_visible(progress_.Widget(), status_.ProgressVisible());
  progress_.Update();
}

}  // namespace pq
