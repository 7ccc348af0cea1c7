#pragma once
#include <cairo.h>

#include <memory>

namespace pq::skin {

// Owning handles for cairo resources (GObjects are held by engine::GObjectPtr).
struct CairoSurfaceDestroy {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfaceRef = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;

struct CairoRegionDestroy {
  void operator()(cairo_region_t* r) const { cairo_region_destroy(r); }
};
using RegionRef = std::unique_ptr<cairo_region_t, CairoRegionDestroy>;

}  // namespace pq::skin
