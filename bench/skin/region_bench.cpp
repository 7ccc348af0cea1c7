// How long turning a splash-sized picture into a window shape takes: the run scan alone and
// the scan with the union of the runs into a cairo region.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "skin/region_from_picture.h"
#include "skin/widgets/picture_region.h"

namespace {

// A rounded picture on a magenta background, with some holes, like a shaped splash.
GdkPixbuf* SplashLike(int w, int h) {
  GdkPixbuf* p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, w, h);
  gdk_pixbuf_fill(p, 0xff00ffff);
  guchar* px = gdk_pixbuf_get_pixels(p);
  const int stride = gdk_pixbuf_get_rowstride(p);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = (x - w / 2.0) / (w / 2.0), dy = (y - h / 2.0) / (h / 2.0);
      const bool hole = (x / 40 + y / 40) % 7 == 0;
      if (dx * dx + dy * dy <= 1 && !hole) {
        guchar* q = px + y * stride + x * 3;
        q[0] = static_cast<guchar>(x), q[1] = static_cast<guchar>(y), q[2] = 40;
      }
    }
  return p;
}

void BM_RegionFromPicture(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = w * 3 / 5;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      pixels[static_cast<size_t>(y) * w + x] = std::hypot(x - w / 2.0, (y - h / 2.0) * 5 / 3) < w / 2.0;
  pq::skin::PictureView view{w, h, [&](int x, int y) { return pixels[static_cast<size_t>(y) * w + x]; }};
  for (auto _ : state) benchmark::DoNotOptimize(pq::skin::RegionFromPicture(view));
}
BENCHMARK(BM_RegionFromPicture)->Arg(200)->Arg(500)->Arg(1000);

void BM_RegionFromPixbuf(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  GdkPixbuf* p = SplashLike(w, w * 3 / 5);
  for (auto _ : state) benchmark::DoNotOptimize(pq::skin::RegionFromPixbuf(p));
  g_object_unref(p);
}
BENCHMARK(BM_RegionFromPixbuf)->Arg(200)->Arg(500)->Arg(1000);

}  // namespace
