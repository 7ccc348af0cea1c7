// One keystroke in a span as the edit pane handles it: the key's events through qEvent and the
// undo snapshot that the first change of a visit takes, on the demo home page and on a 1 MB
// page. The page's size must not show in either the time or the round trips.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "editor/edit_session.h"
#include "editor/widgets/edit_menu.h"
#include "editor/widgets/web_view_editing_page.h"
#include "engine/wait_until.h"
#include "engine/web_view.h"
#include "pageprep/add_spans.h"
#include "support/canned_http_server.h"
#include "support/file_text.h"
#include "support/xvfb.h"

namespace {

struct World {
  std::string temp;
  std::unique_ptr<pqtest::Xvfb> xvfb;
  std::unique_ptr<pqtest::CannedHttpServer> server;
  GtkWidget* window = nullptr;
  std::unique_ptr<pq::engine::WebView> view;
  std::unique_ptr<pq::EditMenu> menu;
  std::unique_ptr<pq::WebViewEditingPage> page;
  std::unique_ptr<pq::EditSession> session;
  bool ok = false;

  World() {
    char tmpl[] = "/tmp/pq-bench-editing-XXXXXX";
    temp = mkdtemp(tmpl);
    setenv("XDG_CONFIG_HOME", temp.c_str(), 1);
    setenv("XDG_CACHE_HOME", temp.c_str(), 1);
    xvfb = std::make_unique<pqtest::Xvfb>();
    if (!xvfb->ok() || !gtk_init_check(nullptr, nullptr)) return;
    server = std::make_unique<pqtest::CannedHttpServer>();
    const std::string site = std::string(PQ_SOURCE_DIR) + "/demo/site/";
    server->Set("/index.htm", {200, "text/html; charset=utf-8", pq::AddSpans(pqtest::ReadFile(site + "index.htm")), false});
    std::string large = "<html><head><title>Large</title></head><body>\n<h1>This week</h1>\n";
    for (int i = 0; large.size() < 1024 * 1024; ++i)
      large += "<p>Paragraph " + std::to_string(i) + " with <b>some</b> text and <a href=\"p" + std::to_string(i) +
               ".htm\">a link</a>.</p>\n";
    large += "</body></html>";
    server->Set("/large.htm", {200, "text/html", pq::AddSpans(large), false});

    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 1000, 700);
    view = std::make_unique<pq::engine::WebView>(pq::engine::WebView::Options{.fileAccess = false, .clipboardAccess = true});
    gtk_container_add(GTK_CONTAINER(window), view->Widget());
    menu = std::make_unique<pq::EditMenu>();
    page = std::make_unique<pq::WebViewEditingPage>(*view, *menu);
    session = std::make_unique<pq::EditSession>(*page);
    gtk_widget_show_all(window);
    ok = true;
  }
  ~World() {
    session.reset();
    page.reset();
    menu.reset();
    view.reset();
    if (window) gtk_widget_destroy(window);
    std::error_code ec;
    std::filesystem::remove_all(temp, ec);
  }

  // Loads the page with its edit spans editable and hooked, as the edit pane leaves it.
  bool Load(const std::string& path) {
    int done = 0;
    view->DocumentComplete = [&](const pq::FramePath& p, const std::string&) { done += p.empty(); };
    view->Navigate(server->url() + path);
    if (!pq::engine::WaitUntil([&] { return done > 0; }, std::chrono::seconds(60))) return false;
    view->DocumentComplete = nullptr;
    const auto elements = view->Elements({}, {"id"});
    std::vector<pq::ElementChange> changes;
    for (std::size_t i = 0; i < elements.size(); ++i)
      if (elements[i].id.rfind("ZZZEDIT", 0) == 0) changes.push_back({static_cast<int>(i), "contentEditable", "true"});
    view->ApplyChanges({}, changes);
    view->HookDocumentEvents({});
    session->Navigate();
    return true;
  }
};

std::unique_ptr<World> theWorld;
World& TheWorld() {
  if (!theWorld) theWorld = std::make_unique<World>();
  return *theWorld;
}

// The records the runtime sends for a key typed in the span.
pq::DocumentEvent Record(const std::string& type, const std::string& span, const std::string& html, int key) {
  pq::DocumentEvent e;
  e.type = type;
  e.keyCode = key;
  e.load = 1;
  e.hasActive = true;
  e.active.tag = "SPAN";
  e.active.id = span;
  e.active.editable = true;
  e.active.html = html;
  return e;
}

constexpr int kSettleMs = 80;
const char* kPages[] = {"/index.htm", "/large.htm"};
const char* kNames[] = {"demo home page", "1 MB page"};
const char* kSpans[] = {"ZZZEDIT6", "ZZZEDIT1"};

// The first keystroke of a visit: keydown, keypress, selectionchange and keyup through qEvent,
// then the snapshot timer, which reads the span and takes the undo entry.
void BM_FirstKeyOfAVisit(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display");
  const int page = static_cast<int>(state.range(0));
  if (!w.Load(kPages[page])) return state.SkipWithError("the page did not load");
  const std::string span = kSpans[page];
  auto before = w.view->ElementById({}, span);
  if (!before) return state.SkipWithError("no span");
  long roundTrips = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // The caret enters the span and the page takes a key (the engine's own work, not ours).
    w.session->qEvent(Record("selectionchange", "ZZZEDIT2", "", 0));
    w.session->qEvent(Record("selectionchange", span, before->html, 0));
    w.view->SetElementById({}, span, "innerHTML", before->html + "x");
    // The engine lays the page out and paints it after a key whatever the edit pane does; that
    // is the engine's work and stays outside the measure.
    w.view->Evaluate("document.body.offsetHeight");
    pq::engine::WaitUntil([] { return false; }, std::chrono::milliseconds(kSettleMs));
    const long start = w.view->Stats().roundTrips;
    state.ResumeTiming();
    for (const char* type : {"keydown", "keypress", "selectionchange", "keyup"})
      w.session->qEvent(Record(type, span, before->html + "x", 88));
    w.session->TimerFired(pq::EditTimer::kTimer3);
    state.PauseTiming();
    roundTrips += w.view->Stats().roundTrips - start;
    w.view->SetElementById({}, span, "innerHTML", before->html);
    state.ResumeTiming();
  }
  if (w.session->History().UndoCount() == 0) return state.SkipWithError("no undo entry was taken");
  state.counters["round_trips"] = benchmark::Counter(static_cast<double>(roundTrips), benchmark::Counter::kAvgIterations);
  state.SetLabel(kNames[page]);
}

// Any further keystroke of the visit: its events and a snapshot timer that needs no read.
void BM_FurtherKey(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok) return state.SkipWithError("no display");
  const int page = static_cast<int>(state.range(0));
  if (!w.Load(kPages[page])) return state.SkipWithError("the page did not load");
  const std::string span = kSpans[page];
  auto before = w.view->ElementById({}, span);
  if (!before) return state.SkipWithError("no span");
  w.session->qEvent(Record("selectionchange", span, before->html, 0));
  w.view->SetElementById({}, span, "innerHTML", before->html + "x");
  w.session->TimerFired(pq::EditTimer::kTimer3);
  const long start = w.view->Stats().roundTrips;
  for (auto _ : state) {
    for (const char* type : {"keydown", "keypress", "selectionchange", "keyup"})
      w.session->qEvent(Record(type, span, before->html + "x", 88));
    w.session->TimerFired(pq::EditTimer::kTimer3);
  }
  state.counters["round_trips"] = benchmark::Counter(static_cast<double>(w.view->Stats().roundTrips - start),
                                                     benchmark::Counter::kAvgIterations);
  state.SetLabel(kNames[page]);
}

BENCHMARK(BM_FirstKeyOfAVisit)->Arg(0)->Arg(1)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FurtherKey)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  theWorld.reset();
  benchmark::Shutdown();
  return 0;
}
