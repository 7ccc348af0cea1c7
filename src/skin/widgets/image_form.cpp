#include "skin/widgets/image_form.h"

#include "engine/picture_file.h"

#include "core/data_folder.h"

#include <filesystem>

#include "skin/skin_pictures.h"

namespace pq::skin {

ImageForm& ImageForm::Default() {
  static ImageForm form(DataFolder() + "/skin");
  return form;
}

ImageForm::ImageForm(const std::string& folder) : folder_(folder) {
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
    const auto ext = PictureKey(item.path().extension().string());
    if (ext != ".svg" && ext != ".png") continue;
    Entry e;
    e.path = item.path().string();
    if (!gdk_pixbuf_get_file_info(e.path.c_str(), &e.width, &e.height)) continue;
    entries_[PictureKey(item.path().stem().string())] = std::move(e);
  }
}

const ImageForm::Entry* ImageForm::Find(std::string_view name) const {
  auto it = entries_.find(PictureKey(name));
  return it == entries_.end() ? nullptr : &it->second;
}

bool ImageForm::Has(std::string_view name) const { return Find(name) != nullptr; }

std::pair<int, int> ImageForm::Size(std::string_view name) const {
  const Entry* e = Find(name);
  return e ? std::pair{e->width, e->height} : std::pair{0, 0};
}

GdkPixbuf* ImageForm::Pixbuf(std::string_view name, int scale) {
  const Entry* e = Find(name);
  if (!e) return nullptr;
  scale = scale < 1 ? 1 : scale;
  auto key = std::pair{PictureKey(name), scale};
  auto it = pixbufs_.find(key);
  if (it != pixbufs_.end()) return it->second.get();
  // SVG renders at the requested size; a PNG is scaled, so PNGs are drawn for scale 1.
  GdkPixbuf* p = engine::LoadPicture(e->path, e->width * scale, e->height * scale, false);
  return pixbufs_.emplace(key, engine::GObjectPtr<GdkPixbuf>(p)).first->second.get();
}

cairo_surface_t* ImageForm::Surface(std::string_view name, int scale) {
  scale = scale < 1 ? 1 : scale;
  auto key = std::pair{PictureKey(name), scale};
  auto it = surfaces_.find(key);
  if (it != surfaces_.end()) return it->second.get();
  GdkPixbuf* p = Pixbuf(name, scale);
  if (!p) return nullptr;
  // An image surface of its own, so that no display is needed to prepare a picture.
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, gdk_pixbuf_get_width(p),
                                                  gdk_pixbuf_get_height(p));
  cairo_t* cr = cairo_create(s);
  gdk_cairo_set_source_pixbuf(cr, p, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_set_device_scale(s, scale, scale);
  return surfaces_.emplace(key, SurfaceRef(s)).first->second.get();
}

bool ImageForm::Paint(cairo_t* cr, std::string_view name, double x, double y, int scale) {
  cairo_surface_t* s = Surface(name, scale);
  if (!s) return false;
  cairo_save(cr);
  cairo_set_source_surface(cr, s, x, y);
  cairo_paint(cr);
  cairo_restore(cr);
  return true;
}

}  // namespace pq::skin
