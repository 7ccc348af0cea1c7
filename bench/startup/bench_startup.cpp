// Start-up of the program on the demo site: from Start (the main window loads and is shown) to
// the splash on screen, and from the splash closing to the home page's Edit tab enabled (the
// page shown, its edit copy prepared, loaded and activated). The splash's own 1.8 seconds lie
// between the two and are not counted. splash_to_copy_ms: until the browse pane has written the
// home page's edit copy; the rest of splash_to_edit_ms is the edit pane's load and activation. Needs Xvfb and the site server; run by hand:
// build/bin/bench_startup
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "core/settings.h"
#include "engine/wait_until.h"
#include "shell/widgets/pagequill_app.h"
#include "support/site_server.h"
#include "support/xvfb.h"
#include "support/memory_settings.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct World {
  std::unique_ptr<pqtest::Xvfb> xvfb;
  std::unique_ptr<pqtest::SiteServer> site;
  std::string base;
  bool ok = false;
  World() {
    char tmpl[] = "/tmp/pq-bench-startup-XXXXXX";
    base = mkdtemp(tmpl);
    fs::create_directories(base + "/temp");
    setenv("TEMP", (base + "/temp").c_str(), 1);
    setenv("XDG_CACHE_HOME", (base + "/cache").c_str(), 1);
    setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    xvfb = std::make_unique<pqtest::Xvfb>();
    site = std::make_unique<pqtest::SiteServer>();
    ok = xvfb->ok() && site->ok() && gtk_init_check(nullptr, nullptr);
  }
  ~World() {
    std::error_code ec;
    fs::remove_all(base, ec);
  }
};

World& TheWorld() {
  static World w;
  return w;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_StartUp(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) {
    state.SkipWithError("no Xvfb, site server or display");
    return;
  }
  const std::string home = w.site->url() + "/index.htm";
  const std::string service = w.site->url() + "/check.php";
  double toSplash = 0, toEdit = 0, toCopy = 0;
  for (auto _ : state) {
    pq::MemorySettings settings;
    auto app = std::make_unique<pq::PagequillApp>(settings, pq::PagequillApp::Environment{home.c_str(), service.c_str()});
    // When the browse pane has written the home page's edit copy (before the edit pane loads it).
    Clock::time_point copyWritten{};
    pq::BrowseControl& browse = app->Window().BrowsePaneWidget().Control();
    auto routed = browse.NavigationComplete;
    browse.NavigationComplete = [&, routed] {
      copyWritten = Clock::now();
      routed();
    };
    const auto start = Clock::now();
    app->Start();
    pq::engine::WaitUntil([&] {
      return app->Splash() && gtk_widget_get_mapped(GTK_WIDGET(app->Splash()->Window()));
    }, 30s);
    const auto splashShown = Clock::now();
    pq::engine::WaitUntil([&] { return !app->Window().Form().FirstActivation(); }, 30s);
    const auto splashClosed = Clock::now();
    const bool ready = pq::engine::WaitUntil([&] {
      auto& header = app->Window().Header(pq::TabHeader::ImgEdit);
      return gtk_widget_get_sensitive(header.Widget()) && !app->Window().State().EditTabPreparing &&
             app->Window().BrowsePaneWidget().Control().WebURL() == home;
    }, 30s);
    const auto editReady = Clock::now();
    if (!ready) {
      state.SkipWithError("the home page's Edit tab was not enabled");
      break;
    }
    toSplash += Ms(splashShown - start);
    toEdit += Ms(editReady - splashClosed);
    toCopy += Ms(copyWritten - splashClosed);
    state.SetIterationTime(std::chrono::duration<double>((splashShown - start) + (editReady - splashClosed)).count());
    app.reset();
    pq::engine::WaitUntil([] { return false; }, 200ms);
  }
  state.counters["launch_to_splash_ms"] = benchmark::Counter(toSplash, benchmark::Counter::kAvgIterations);
  state.counters["splash_to_edit_ms"] = benchmark::Counter(toEdit, benchmark::Counter::kAvgIterations);
  state.counters["splash_to_copy_ms"] = benchmark::Counter(toCopy, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_StartUp)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
