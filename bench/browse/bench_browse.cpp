// For a demo page, the demo frameset and a 1 MB page: the time from the browse pane's top-level
// document-complete to NavigationComplete (fetching the source again, marking it up, writing the
// edit copy and frame copies), beside the time the engine takes to load the same page.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/wait_until.h"
#include "engine/web_view.h"
#include "shell/widgets/browse_control_widget.h"
#include "engine/http_fetch.h"
#include "support/canned_http_server.h"
#include "support/site_server.h"
#include "support/xvfb.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool IsFrameset(const std::string& text) {
  return text.find("<frameset") != std::string::npos || text.find("<FRAMESET") != std::string::npos;
}

// The first demo page built of frames (one with a nested frameset preferred).
std::string FramesetPage(const std::string& root) {
  std::string any;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() < 4 || name.substr(name.size() - 4) != ".htm") continue;
    const std::string text = Read(entry.path().string());
    if (!IsFrameset(text)) continue;
    if (any.empty()) any = name;
    for (size_t p = 0; (p = text.find("src=\"", p)) != std::string::npos; p += 5) {
      if (IsFrameset(Read(root + "/" + text.substr(p + 5, text.find('"', p + 5) - p - 5)))) return name;
    }
  }
  return any;
}

struct World {
  std::string temp;
  std::unique_ptr<pqtest::Xvfb> xvfb;
  std::unique_ptr<pqtest::SiteServer> site;
  std::unique_ptr<pqtest::CannedHttpServer> large;
  std::string framesetPage;
  GtkWidget* window = nullptr;
  std::unique_ptr<pq::WindowState> state = std::make_unique<pq::WindowState>();
  std::unique_ptr<pq::FrameTable> frames = std::make_unique<pq::FrameTable>();
  std::unique_ptr<pq::BrowseControlWidget> pane;
  std::unique_ptr<pq::engine::WebView> plain;
  bool ok = false;

  World() {
    char tmpl[] = "/tmp/pq-bench-browse-XXXXXX";
    temp = mkdtemp(tmpl);
    setenv("TEMP", temp.c_str(), 1);
    setenv("XDG_CONFIG_HOME", temp.c_str(), 1);
    xvfb = std::make_unique<pqtest::Xvfb>();
    if (!xvfb->ok() || !gtk_init_check(nullptr, nullptr)) return;
    pqtest::SiteServer::Options options;
    if (const char* root = std::getenv("PQ_BROWSE_SITE")) options.root = root;
    site = std::make_unique<pqtest::SiteServer>(options);
    if (!site->ok()) return;
    framesetPage = FramesetPage(site->root());
    large = std::make_unique<pqtest::CannedHttpServer>();
    std::string body = "<html><head><title>Large</title></head><body>\n";
    for (int i = 0; body.size() < 1024 * 1024; ++i)
      body += "<p>Paragraph " + std::to_string(i) + " with <b>some</b> text and <a href=\"p" + std::to_string(i) +
              ".htm\">a link</a>.</p>\n";
    body += "</body></html>";
    large->Set("/large.htm", {200, "text/html", body, false});

    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 1000, 700);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    pane = std::make_unique<pq::BrowseControlWidget>(*state, *frames, pq::engine::GetURLText);
    plain = std::make_unique<pq::engine::WebView>();
    gtk_box_pack_start(GTK_BOX(box), pane->Widget(), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), plain->Widget(), TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_widget_show_all(window);
    ok = true;
  }

  ~World() {
    pane.reset();
    plain.reset();
    if (window) gtk_widget_destroy(window);
    std::error_code ec;
    fs::remove_all(temp, ec);
  }

  std::string Url(int page) const {
    switch (page) {
      case 0: return site->url() + "/index.htm";
      case 1: return site->url() + "/" + framesetPage;
      default: return large->url() + "/large.htm";
    }
  }
};

std::unique_ptr<World> theWorld;

World& TheWorld() {
  if (!theWorld) theWorld = std::make_unique<World>();
  return *theWorld;
}

const char* kPageNames[] = {"demo home page", "demo frameset", "1 MB page"};

// The engine alone: Navigate to the top-level document-complete.
void BM_EngineLoad(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display or site server");
  const std::string url = w.Url(static_cast<int>(state.range(0)));
  int completions = 0;
  w.plain->DocumentComplete = [&](const pq::FramePath& p, const std::string&) {
    if (p.empty()) ++completions;
  };
  for (auto _ : state) {
    const int before = completions;
    const auto start = Clock::now();
    w.plain->Navigate(url);
    if (!pq::engine::WaitUntil([&] { return completions > before; }, std::chrono::seconds(30)))
      return state.SkipWithError("the page did not load");
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.SetLabel(kPageNames[state.range(0)]);
}

// The browse pane: top-level document-complete to NavigationComplete.
void BM_PrepareEditCopy(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display or site server");
  const std::string url = w.Url(static_cast<int>(state.range(0)));
  Clock::time_point completed{};
  int prepared = 0;
  auto forward = w.pane->View().DocumentComplete;
  w.pane->View().DocumentComplete = [&](const pq::FramePath& p, const std::string& u) {
    if (p.empty()) completed = Clock::now();
    forward(p, u);
  };
  double total = 0;
  const auto statsBefore = w.pane->View().Stats();
  w.pane->Control().NavigationComplete = [&] {
    total = std::chrono::duration<double>(Clock::now() - completed).count();
    ++prepared;
  };
  for (auto _ : state) {
    const int before = prepared;
    w.pane->Control().StopBrowser();
    w.pane->Control().Navigate(url);
    if (!pq::engine::WaitUntil([&] { return prepared > before; }, std::chrono::seconds(30)))
      return state.SkipWithError("the page was not prepared");
    state.SetIterationTime(total);
  }
  w.pane->View().DocumentComplete = forward;
  const auto& stats = w.pane->View().Stats();
  state.counters["round_trips"] = benchmark::Counter(static_cast<double>(stats.roundTrips - statsBefore.roundTrips),
                                                     benchmark::Counter::kAvgIterations);
  state.SetLabel(kPageNames[state.range(0)]);
}

// One call of the in-page runtime on a loaded page, as the editor makes on every key: the
// time of the round trip and what it sends.
void BM_RuntimeCall(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display or site server");
  int completions = 0;
  w.plain->DocumentComplete = [&](const pq::FramePath& p, const std::string&) {
    if (p.empty()) ++completions;
  };
  w.plain->Navigate(w.Url(0));
  if (!pq::engine::WaitUntil([&] { return completions > 0; }, std::chrono::seconds(30)))
    return state.SkipWithError("the page did not load");
  const auto before = w.plain->Stats();
  for (auto _ : state) {
    if (state.range(0) == 0) {
      if (!w.plain->ActiveElement({})) return state.SkipWithError("the call failed");
    } else {
      if (!w.plain->Snapshot({})) return state.SkipWithError("the call failed");
    }
  }
  const auto& after = w.plain->Stats();
  state.counters["round_trips"] =
      benchmark::Counter(static_cast<double>(after.roundTrips - before.roundTrips), benchmark::Counter::kAvgIterations);
  state.counters["bytes_sent"] =
      benchmark::Counter(static_cast<double>(after.bytesSent - before.bytesSent), benchmark::Counter::kAvgIterations);
  state.SetLabel(state.range(0) == 0 ? "ActiveElement" : "Snapshot");
}

BENCHMARK(BM_EngineLoad)->DenseRange(0, 2)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareEditCopy)->DenseRange(0, 2)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RuntimeCall)->DenseRange(0, 1)->MinTime(2.0)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  theWorld.reset();  // stops the site server and Xvfb
  return 0;
}
