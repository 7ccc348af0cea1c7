#pragma once
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "engine/gobject_ptr.h"
#include "skin/widgets/cairo_ref.h"

namespace pq::skin {

// The skin image set: every picture of the skin folder (SVG or PNG) by its file name without
// the extension, looked up without regard to case, drawn sharp at any integer screen scale.
class ImageForm {
 public:
  // The set of the program's data folder.
  static ImageForm& Default();
  explicit ImageForm(const std::string& folder);

  bool Has(std::string_view name) const;
  // Size in logical pixels; (0, 0) for an unknown name.
  std::pair<int, int> Size(std::string_view name) const;
  // The picture rendered for a screen scale, owned by the set; nullptr for an unknown name.
  cairo_surface_t* Surface(std::string_view name, int scale);
  GdkPixbuf* Pixbuf(std::string_view name, int scale);
  // Paints the picture with its top-left corner at (x, y); answers whether it was there.
  bool Paint(cairo_t* cr, std::string_view name, double x, double y, int scale);
  const std::string& Folder() const { return folder_; }

 private:
  struct Entry {
    std::string path;
    int width = 0;
    int height = 0;
  };
  const Entry* Find(std::string_view name) const;

  std::string folder_;
  std::map<std::string, Entry> entries_;
  std::map<std::pair<std::string, int>, engine::GObjectPtr<GdkPixbuf>> pixbufs_;
  std::map<std::pair<std::string, int>, SurfaceRef> surfaces_;
};

}  // namespace pq::skin
