#include "engine/picture_file.h"

namespace pq::engine {

GdkPixbuf* LoadPicture(const std::string& path, int width, int height, bool keepAspect) {
  GError* error = nullptr;
  GdkPixbuf* picture =
      gdk_pixbuf_new_from_file_at_scale(path.c_str(), width, height, keepAspect, &error);
  if (!picture) {
    g_debug("the picture %s could not be loaded: %s", path.c_str(),
            error && error->message ? error->message : "unknown reason");
  }
  if (error) g_error_free(error);
  return picture;
}

}  // namespace pq::engine
