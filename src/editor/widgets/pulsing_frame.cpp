#include "editor/widgets/pulsing_frame.h"

#include <gtk/gtk.h>

namespace pq {

PulsingFrame::PulsingFrame(GtkWidget* child)
    : box_(engine::GObjectPtr<GtkWidget>::Sink(gtk_box_new(GTK_ORIENTATION_VERTICAL, 0))) {
  // The lines are drawn in the margin around the page, so they never cover it or take a click.
  gtk_widget_set_margin_start(child, kMargin);
  gtk_widget_set_margin_end(child, kMargin);
  gtk_widget_set_margin_top(child, kMargin);
  gtk_widget_set_margin_bottom(child, kMargin);
  gtk_box_pack_start(GTK_BOX(box_.get()), child, TRUE, TRUE, 0);
  signals_.Connect(box_.get(), "draw", G_CALLBACK(+[](GtkWidget* w, cairo_t* cr, gpointer data) -> gboolean {
                     const int inset = static_cast<PulsingFrame*>(data)->inset_;
                     const double width = gtk_widget_get_allocated_width(w);
                     const double height = gtk_widget_get_allocated_height(w);
                     cairo_set_source_rgb(cr, 0.20, 0.42, 0.78);
                     cairo_set_line_width(cr, 1);
                     cairo_rectangle(cr, inset + 0.5, inset + 0.5, width - 2 * inset - 1, height - 2 * inset - 1);
                     cairo_stroke(cr);
                     return FALSE;
                   }),
                   this);
  timer1_.StartTimeout(kTimer1Ms, [](gpointer data) -> gboolean {
    auto* self = static_cast<PulsingFrame*>(data);
    self->inset_ = self->inset_ ? 0 : kInset;
    gtk_widget_queue_draw(self->box_.get());
    return G_SOURCE_CONTINUE;
  }, this);
}

// The handlers go first, then the timer, then the box (the members' order).
PulsingFrame::~PulsingFrame() = default;

}  // namespace pq
