#include "shell/widgets/progress_bar_widget.h"

#include <gtk/gtk.h>

namespace pq {

namespace {

gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  const auto* bar = static_cast<const ProgressBar*>(data);
  const double w = gtk_widget_get_allocated_width(widget);
  const double h = gtk_widget_get_allocated_height(widget);
  cairo_set_source_rgb(cr, 0.80, 0.83, 0.82);  // the trough
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_fill(cr);
  if (bar->FilledVisible()) {
    cairo_set_source_rgb(cr, 0.13, 0.37, 0.35);  // the filled part
    cairo_rectangle(cr, 0, 0, w * bar->FilledPercent() / 100.0, h);
    cairo_fill(cr);
  }
  return TRUE;
}

}  // namespace

ProgressBarWidget::ProgressBarWidget(ProgressBar& bar)
    : bar_(bar), area_(engine::GObjectPtr<GtkWidget>::Sink(gtk_drawing_area_new())) {
  gtk_widget_set_size_request(area_.get(), 160, -1);
  signals_.Connect(area_.get(), "draw", G_CALLBACK(OnDraw), &bar_);
}

ProgressBarWidget::~ProgressBarWidget() = default;

GtkWidget* ProgressBarWidget::Widget() const { return area_.get(); }

int ProgressBarWidget::OnCreep(void* data) {
  auto* self = static_cast<ProgressBarWidget*>(data);
  self->bar_.CreepTick();
  self->Update();
  return self->creepTimer_.Active() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

int ProgressBarWidget::OnFinish(void* data) {
  auto* self = static_cast<ProgressBarWidget*>(data);
  self->bar_.FinishTick();
  self->Update();
  return self->finishTimer_.Active() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void ProgressBarWidget::Update() {
  // A timer may be switched off from inside its own tick: SourceId allows that.
  if (bar_.CreepTimerOn() && !creepTimer_.Active()) {
    creepTimer_.StartTimeout(ProgressBar::kCreepIntervalMs, OnCreep, this);
  } else if (!bar_.CreepTimerOn()) {
    creepTimer_.Reset();
  }
  if (bar_.FinishTimerOn() && !finishTimer_.Active()) {
    finishTimer_.StartTimeout(ProgressBar::kFinishIntervalMs, OnFinish, this);
  } else if (!bar_.FinishTimerOn()) {
    finishTimer_.Reset();
  }
  gtk_widget_queue_draw(area_.get());
}

}  // namespace pq
