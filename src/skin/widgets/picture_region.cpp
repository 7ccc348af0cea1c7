#include "skin/widgets/picture_region.h"

#include "skin/region_from_picture.h"

namespace pq::skin {

RegionRef RegionFromPixbuf(GdkPixbuf* picture) {
  RegionRef region(cairo_region_create());
  if (!picture) return region;
  const int channels = gdk_pixbuf_get_n_channels(picture);
  const int stride = gdk_pixbuf_get_rowstride(picture);
  const guchar* pixels = gdk_pixbuf_read_pixels(picture);
  PictureView view;
  view.width = gdk_pixbuf_get_width(picture);
  view.height = gdk_pixbuf_get_height(picture);
  view.pixel = [=](int x, int y) {
    const guchar* p = pixels + y * stride + x * channels;
    std::uint32_t v = (p[0] << 16) | (p[1] << 8) | p[2];
    // Alpha counts too, so that a fully transparent corner marks transparency.
    if (channels == 4) v |= static_cast<std::uint32_t>(p[3]) << 24;
    return v;
  };
  for (const Rect& r : RegionFromPicture(view)) {
    const cairo_rectangle_int_t rect{r.x, r.y, r.width, r.height};
    cairo_region_union_rectangle(region.get(), &rect);
  }
  return region;
}

void ShapeWindowFromPicture(GtkWidget* window, GdkPixbuf* picture) {
  RegionRef region = RegionFromPixbuf(picture);
  gtk_widget_shape_combine_region(window, region.get());
}

}  // namespace pq::skin
