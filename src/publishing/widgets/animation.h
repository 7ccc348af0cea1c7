#pragma once
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "engine/gobject_ptr.h"
#include "engine/source_id.h"

namespace pq {

// A small animation: one picture after another on a timer, and the number of ticks since it
// started (the forms keep themselves on screen for a least number of ticks).
class Animation {
 public:
  // Pictures data/publishing/<prefix>1.svg ... <prefix><count>.svg.
  Animation(const std::string& prefix, int count, int intervalMs, int scale);
  ~Animation();
  Animation(const Animation&) = delete;
  Animation& operator=(const Animation&) = delete;

  GtkWidget* Widget() const { return image_; }
  void Start();
  void Stop();
  int Ticks() const { return ticks_; }
  int Picture() const { return picture_; }  // 1 to count

 private:
  static gboolean OnTick(gpointer data);
  GtkWidget* image_;
  std::vector<engine::GObjectPtr<GdkPixbuf>> pictures_;
  int interval_;
  engine::SourceId timer_;
  int ticks_ = 1;
  int picture_ = 1;
};

}  // namespace pq
