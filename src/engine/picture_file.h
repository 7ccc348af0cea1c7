#pragma once
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>

namespace pq::engine {

// A picture file drawn at width x height pixels (keeping its shape when keepAspect), or null
// when it cannot be read; that is logged, as a missing picture leaves only a blank.
GdkPixbuf* LoadPicture(const std::string& path, int width, int height, bool keepAspect = true);

}  // namespace pq::engine
