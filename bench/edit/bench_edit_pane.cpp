// For the demo home page, the demo frameset, a 1 MB page and a frameset of 8 frames: the time
// from the edit copy's top-level document-complete to NavigateComplete (site check, activation,
// loading and activating the frames) and its round trips to the page; the time from the browse
// pane's document-complete to the Edit tab enabled (preparing the edit copy, its load and the
// activation); beside the time the engine takes to load the same edit copy on its own.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "e2e/edit_pane_window.h"
#include "editor/activation.h"
#include "editor/widgets/edit_pane_documents.h"
#include "engine/form_post.h"
#include "engine/http_fetch.h"
#include "engine/wait_until.h"
#include "engine/web_view.h"
#include "pageprep/edit_copy.h"
#include "pageprep/markers.h"
#include "pageprep/time_stamp.h"
#include "publishing/pass_key.h"
#include "publishing/publish_documents.h"
#include "publishing/publish_flow.h"
#include "pageprep/temp_files.h"
#include "support/site_server.h"
#include "support/xvfb.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct World {
  std::string temp;
  std::unique_ptr<pqtest::Xvfb> xvfb;
  std::unique_ptr<pqtest::SiteServer> site;
  std::unique_ptr<pqtest::EditPaneWindow> window;
  std::unique_ptr<pq::engine::WebView> plain;
  GtkWidget* plainWindow = nullptr;
  bool ok = false;

  World() {
    char tmpl[] = "/tmp/pq-bench-edit-XXXXXX";
    temp = mkdtemp(tmpl);
    setenv("TEMP", temp.c_str(), 1);
    setenv("XDG_CONFIG_HOME", temp.c_str(), 1);
    xvfb = std::make_unique<pqtest::Xvfb>();
    if (!xvfb->ok() || !gtk_init_check(nullptr, nullptr)) return;
    site = std::make_unique<pqtest::SiteServer>();
    if (!site->ok()) return;
    // The 1 MB page lives on the site, so its check succeeds like the others'.
    std::string body = "<html><head><title>Large</title></head><body>\n";
    for (int i = 0; body.size() < 1024 * 1024; ++i)
      body += "<p>Paragraph " + std::to_string(i) + " with <b>some</b> text and <a href=\"p" + std::to_string(i) +
              ".htm\">a link</a>.</p>\n";
    body += "</body></html>";
    std::ofstream(site->root() + "/large.htm", std::ios::binary) << body;
    // Eight frames of a few paragraphs each, in two columns of four.
    std::string frameset = "<html><head><title>Eight frames</title></head><frameset cols=\"50%,50%\">\n";
    for (int c = 0; c < 2; ++c) {
      frameset += "<frameset rows=\"25%,25%,25%,25%\">\n";
      for (int r = 0; r < 4; ++r) {
        const std::string name = "frame8-" + std::to_string(c * 4 + r) + ".htm";
        frameset += "<frame src=\"" + name + "\">\n";
        std::string page = "<html><head><title>Frame</title></head><body>\n";
        for (int i = 0; i < 20; ++i)
          page += "<p>Frame " + name + " paragraph " + std::to_string(i) + " with <b>some</b> text and <a href=\"p" +
                  std::to_string(i) + ".htm\">a link</a>.</p>\n";
        std::ofstream(site->root() + "/" + name, std::ios::binary) << page << "</body></html>";
      }
      frameset += "</frameset>\n";
    }
    std::ofstream(site->root() + "/frames8.htm", std::ios::binary) << frameset << "</frameset></html>";

    window = std::make_unique<pqtest::EditPaneWindow>(Url(0));
    gtk_widget_show_all(window->Window());
    pq::engine::WebView::Options options;
    options.fileAccess = true;
    plain = std::make_unique<pq::engine::WebView>(options);
    plainWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(plainWindow), 640, 700);
    gtk_container_add(GTK_CONTAINER(plainWindow), plain->Widget());
    gtk_widget_show_all(plainWindow);
    ok = true;
  }

  ~World() {
    window.reset();
    if (plainWindow) {
      gtk_container_remove(GTK_CONTAINER(plainWindow), plain->Widget());
      gtk_widget_destroy(plainWindow);
    }
    plain.reset();
    std::error_code ec;
    fs::remove_all(temp, ec);
  }

  std::string Url(int page) const {
    switch (page) {
      case 0: return site->url() + "/index.htm";
      case 1: return site->url() + "/frames.htm";
      case 2: return site->url() + "/large.htm";
      default: return site->url() + "/frames8.htm";
    }
  }

  // Shows the page in the browse pane and waits until the edit pane is done with it.
  bool Show(int page) {
    const int before = window->Count("NavigateComplete");
    window->browse->Control().StopBrowser();
    window->browse->Control().Navigate(Url(page));
    return pq::engine::WaitUntil([&] { return window->Count("NavigateComplete") > before; }, std::chrono::seconds(60));
  }
};

std::unique_ptr<World> theWorld;

World& TheWorld() {
  if (!theWorld) theWorld = std::make_unique<World>();
  return *theWorld;
}

const char* kPageNames[] = {"demo home page", "demo frameset", "1 MB page", "8-frame frameset"};

// The engine alone: the same edit copy, from Navigate to its top-level document-complete.
void BM_EngineLoadOfEditCopy(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display or site server");
  // Keep a copy of the edit copy the browse pane writes (the edit pane deletes it once loaded).
  const std::string kept = w.temp + "/kept-edit-copy.htm";
  auto forward = w.window->browse->Control().NavigationComplete;
  w.window->browse->Control().NavigationComplete = [&, forward] {
    std::error_code ec;
    fs::copy_file(pq::TempFolder() + pq::kEditCopyName, kept, fs::copy_options::overwrite_existing, ec);
    forward();
  };
  const bool shown = w.Show(static_cast<int>(state.range(0)));
  w.window->browse->Control().NavigationComplete = forward;
  if (!shown || !fs::exists(kept)) return state.SkipWithError("the page was not prepared");
  int completions = 0;
  w.plain->DocumentComplete = [&](const pq::FramePath& p, const std::string&) {
    if (p.empty()) ++completions;
  };
  for (auto _ : state) {
    const int before = completions;
    const auto start = Clock::now();
    w.plain->Navigate("file://" + kept);
    if (!pq::engine::WaitUntil([&] { return completions > before; }, std::chrono::seconds(30)))
      return state.SkipWithError("the page did not load");
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    w.plain->Navigate("about:blank");
    pq::engine::WaitUntil([&] { return !w.plain->Busy(); }, std::chrono::seconds(5));
  }
  w.plain->DocumentComplete = nullptr;
  state.SetLabel(kPageNames[state.range(0)]);
}

// The edit pane: the edit copy's top-level document-complete to NavigateComplete. An edit copy
// loaded early completes before the browse pane's page, so this then holds the wait for it.
void BM_EditPaneActivation(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display or site server");
  pq::engine::WebView& view = w.window->edit->View();
  Clock::time_point completed{};
  long tripsAtComplete = 0;
  long trips = 0;
  double seconds = 0;
  auto forward = view.DocumentComplete;
  view.DocumentComplete = [&](const pq::FramePath& p, const std::string& u) {
    if (p.empty()) {
      completed = Clock::now();
      tripsAtComplete = view.Stats().roundTrips;
    }
    forward(p, u);
  };
  auto done = w.window->edit->Control().NavigateComplete;
  w.window->edit->Control().NavigateComplete = [&] {
    seconds = std::chrono::duration<double>(Clock::now() - completed).count();
    trips += view.Stats().roundTrips - tripsAtComplete;
    done();
  };
  for (auto _ : state) {
    if (!w.Show(static_cast<int>(state.range(0)))) return state.SkipWithError("the edit pane did not finish");
    state.SetIterationTime(seconds);
  }
  view.DocumentComplete = forward;
  w.window->edit->Control().NavigateComplete = done;
  state.counters["round_trips"] = benchmark::Counter(static_cast<double>(trips), benchmark::Counter::kAvgIterations);
  state.counters["documents"] = static_cast<double>(w.window->edit->Control().Documents().size());
  state.SetLabel(kPageNames[state.range(0)]);
}

// The whole wait the user sees: the browse pane's top-level document-complete to the Edit tab
// enabled (the edit copy prepared, loaded by the edit pane and activated), with the edit pane's
// round trips per document.
void BM_BrowseToEditTab(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display or site server");
  pq::engine::WebView& browseView = w.window->browse->View();
  pq::engine::WebView& editView = w.window->edit->View();
  Clock::time_point browsed{};
  double seconds = 0;
  long trips = 0, tripsAtStart = 0;
  auto forward = browseView.DocumentComplete;
  browseView.DocumentComplete = [&](const pq::FramePath& p, const std::string& u) {
    if (p.empty()) {
      browsed = Clock::now();
      tripsAtStart = editView.Stats().roundTrips;
    }
    forward(p, u);
  };
  auto done = w.window->edit->Control().NavigateComplete;
  w.window->edit->Control().NavigateComplete = [&] {
    seconds = std::chrono::duration<double>(Clock::now() - browsed).count();
    trips += editView.Stats().roundTrips - tripsAtStart;
    done();
  };
  for (auto _ : state) {
    if (!w.Show(static_cast<int>(state.range(0)))) return state.SkipWithError("the edit pane did not finish");
    state.SetIterationTime(seconds);
  }
  browseView.DocumentComplete = forward;
  w.window->edit->Control().NavigateComplete = done;
  const double documents = static_cast<double>(w.window->edit->Control().Documents().size());
  state.counters["round_trips"] = benchmark::Counter(static_cast<double>(trips), benchmark::Counter::kAvgIterations);
  state.counters["trips_per_doc"] =
      benchmark::Counter(static_cast<double>(trips) / (documents > 0 ? documents : 1), benchmark::Counter::kAvgIterations);
  state.counters["documents"] = documents;
  state.SetLabel(kPageNames[state.range(0)]);
}

// Where the time goes, step by step, on the page once shown: the browse pane's read of its
// document, fetching the source, marking it, and the edit pane's read for activation, its plan
// and a read of the spans (each counter in milliseconds per iteration).
void BM_Steps(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display or site server");
  if (!w.Show(static_cast<int>(state.range(0)))) return state.SkipWithError("the edit pane did not finish");
  const std::string url = w.Url(static_cast<int>(state.range(0)));
  std::map<std::string, double> ms;
  auto timed = [&](const char* name, auto&& step) {
    const auto start = Clock::now();
    step();
    ms[name] += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  pq::engine::WebView& edit = w.window->edit->View();
  for (auto _ : state) {
    std::string source;
    timed("browse_snapshot", [&] { benchmark::DoNotOptimize(w.window->browse->View().Snapshot({})); });
    timed("fetch", [&] { source = pq::engine::FetchPage(url).text; });
    timed("mark", [&] { benchmark::DoNotOptimize(pq::MakeEditHTML(source, url, url)); });
    std::optional<pq::ActivationRead> read;
    timed("edit_read", [&] { read = edit.ReadForActivation({}); });
    if (!read) return state.SkipWithError("the edit pane's document was not readable");
    timed("plan", [&] {
      bool deleted = false;
      benchmark::DoNotOptimize(pq::PlanActivation(read->elements, true, deleted));
    });
    timed("edit_spans", [&] { benchmark::DoNotOptimize(edit.Spans({})); });
  }
  for (const auto& [name, total] : ms)
    state.counters[name] = benchmark::Counter(total, benchmark::Counter::kAvgIterations);
  state.SetLabel(kPageNames[state.range(0)]);
}

// Publish from the OK press to the site script's last reply, reading the live document of the
// edit pane first (its spans), with one span changed in the page; compare with the engine's
// load of the same page.
void BM_PublishFromLiveDocument(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display or site server");
  if (!w.Show(static_cast<int>(state.range(0)))) return state.SkipWithError("the edit pane did not finish");
  pq::engine::WebView& edit = w.window->edit->View();
  const auto& recorded = w.window->edit->Control().Documents();
  if (recorded.empty() || recorded[0].spans.elements.empty()) return state.SkipWithError("no spans");
  std::string id;
  for (const auto& [spanId, e] : recorded[0].spans.elements)
    if (spanId.rfind("ZZZEDIT", 0) == 0 && id.empty()) id = spanId;
  int round = 0;
  double readMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // The page as the site now holds it (the last round published it), then a change of text
    // the server does not hold yet, so that every round is sent.
    if (round > 0 && !w.Show(static_cast<int>(state.range(0)))) return state.SkipWithError("the edit pane did not finish");
    edit.SetElementById({}, id, "innerHTML", "Fresh today (" + std::to_string(++round) + ")");
    state.ResumeTiming();
    const auto start = Clock::now();
    pq::EditPaneDocuments live(edit, w.window->edit->Control());
    const auto documents = pq::DocumentsToPublish(w.window->browse->Control().Record, w.window->frames, live);
    readMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    pq::PublishAttempt attempt(pq::PlanPublication(documents, w.site->url()), "demo");
    const pq::PassKey key = pq::GetPassKey(w.site->url(), pq::engine::FetchPage, pq::MakeTimeStamp());
    attempt.Begin(key.ok, key.key, key.error);
    pq::engine::SubmitIEformCtrl form;
    while (attempt.Next()) {
      form.SetFields(attempt.NextFields());
      attempt.Judge(form.SubmitData(w.site->url() + "/pagequill/"));
    }
    if (attempt.Outcome() != pq::PublishOutcome::Succeeded) return state.SkipWithError(attempt.ErrorMessage().c_str());
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.counters["live_read_ms"] = benchmark::Counter(readMs, benchmark::Counter::kAvgIterations);
  state.SetLabel(kPageNames[state.range(0)]);
}

// The small pages first and the 1 MB page after them: the engine's processes are slower for a
// while after that page, whatever comes next.
#define PQ_EDIT_PANE_BENCHMARK(name, ...) \
  BENCHMARK(name)->__VA_ARGS__->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond)
PQ_EDIT_PANE_BENCHMARK(BM_EngineLoadOfEditCopy, Arg(0)->Arg(1)->Arg(3));
PQ_EDIT_PANE_BENCHMARK(BM_EditPaneActivation, Arg(0)->Arg(1)->Arg(3));
PQ_EDIT_PANE_BENCHMARK(BM_BrowseToEditTab, Arg(0)->Arg(1)->Arg(3));
PQ_EDIT_PANE_BENCHMARK(BM_EngineLoadOfEditCopy, Arg(2));
PQ_EDIT_PANE_BENCHMARK(BM_EditPaneActivation, Arg(2));
PQ_EDIT_PANE_BENCHMARK(BM_BrowseToEditTab, Arg(2));
BENCHMARK(BM_PublishFromLiveDocument)->Arg(2)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Steps)->Arg(0)->Arg(2)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  theWorld.reset();  // stops the site server and Xvfb
  return 0;
}
