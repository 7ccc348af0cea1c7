#include "publishing/widgets/animation.h"

#include "engine/picture_file.h"

#include "core/data_folder.h"

namespace pq {

Animation::Animation(const std::string& prefix, int count, int intervalMs, int scale)
    : image_(gtk_image_new()), interval_(intervalMs) {
  for (int i = 1; i <= count; ++i) {
    const std::string path =
        DataFolder() + "/publishing/" + prefix + std::to_string(i) + ".svg";
    GdkPixbuf* p = engine::LoadPicture(path, 160 * scale, 128 * scale);
    pictures_.emplace_back(p);
  }
  if (!pictures_.empty() && pictures_[0])
    gtk_image_set_from_pixbuf(GTK_IMAGE(image_), pictures_[0].get());
  gtk_widget_set_name(image_, "Animation");
}

Animation::~Animation() { Stop(); }

void Animation::Start() {
  ticks_ = 1;
  picture_ = 1;
  if (!timer_.Active()) timer_.StartTimeout(static_cast<guint>(interval_), &Animation::OnTick, this);
}

void Animation::Stop() { timer_.Reset(); }

gboolean Animation::OnTick(gpointer data) {
  auto* self = static_cast<Animation*>(data);
  ++self->ticks_;
  self->picture_ = self->picture_ % static_cast<int>(self->pictures_.size()) + 1;
  if (auto& p = self->pictures_[static_cast<std::size_t>(self->picture_ - 1)])
    gtk_image_set_from_pixbuf(GTK_IMAGE(self->image_), p.get());
  return G_SOURCE_CONTINUE;
}

}  // namespace pq
