#pragma once
// Shared by the publishing end-to-end programs: a host for the publishing forms built from a
// page really prepared from the site server, widgets found by name and clicked with real
// pointer events, and scripts of steps that run while a form holds its modal loop.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "e2e/skin_e2e_support.h"
#include "engine/http_fetch.h"
#include "engine/key_file_settings.h"
#include "pageprep/edit_copy.h"
#include "pageprep/markers.h"
#include "publishing/publish_host.h"
#include "publishing/publishable_page.h"

namespace pqtest {

// The edit pane's documents as a page shown as written: the recorded contents are the spans'
// contents in the edit HTML, and the live ones those with the test's edits.
struct LiveFromEditHTML : pq::LiveDocuments {
  std::map<pq::FramePath, int> frameCounts;
  std::map<pq::FramePath, pq::SpanSnapshot> recorded, live;
  int FrameCount(const pq::FramePath& f) override {
    auto it = frameCounts.find(f);
    return it == frameCounts.end() ? 0 : it->second;
  }
  std::optional<pq::SpanSnapshot> Spans(const pq::FramePath& f) override {
    auto it = live.find(f);
    if (it == live.end()) return std::nullopt;
    return it->second;
  }
  std::optional<pq::SpanSnapshot> RecordedSpans(const pq::FramePath& f) override {
    auto it = recorded.find(f);
    if (it == recorded.end()) return std::nullopt;
    return it->second;
  }
  void Edit(const pq::FramePath& f, const std::string& id, const std::string& html) {
    live[f].elements[id].innerHTML = html;
  }
};

// What a page's frames are, for preparing it without a browser: the address of each frame.
struct FrameShape {
  std::string url;
  std::vector<FrameShape> frames;
};

class TestHost : public pq::PublishHost {
 public:
  TestHost(const std::string& settingsPath) : settings_(settingsPath) {}

  // Prepares the page at url (and its frames) as the browse pane does.
  bool Prepare(const FrameShape& shape) {
    auto snapshot = std::make_shared<pq::DocumentSnapshot>(Snapshot(shape));
    std::string start;
    const auto outcome =
        pq::PrepareEditCopy(snapshot, record_, frames_, start, pq::engine::FetchPage);
    if (outcome != pq::EditCopyOutcome::Prepared) return false;
    live_ = {};
    Record({}, record_.EditHTML(), record_.page.edit.layout);
    int entry = 1;
    Walk(shape, {}, entry);
    return true;
  }

  LiveFromEditHTML& live() { return live_; }
  int completed = 0;
  int refreshes = 0;
  std::vector<std::string> dropped;

  const pq::PageRecord& Record() override { return record_; }
  pq::FrameTable& Frames() override { return frames_; }
  pq::LiveDocuments& Live() override { return live_; }
  std::string CurrentOrigURL() override { return pq::GetMarker(record_.EditHTML(), "OrigURL"); }
  bool PasswordEmailAllowed() override { return emailAllowed; }
  pq::Settings& UserSettings() override { return settings_; }
  pq::FetchedPage Fetch(const std::string& url, const std::function<bool()>& stop) override {
    return pq::engine::FetchPageUnlessStopped(url, stop);
  }
  void RefreshBrowsePane(std::function<void()> reloaded) override {
    ++refreshes;
    reloaded_ = std::move(reloaded);
    g_timeout_add(300, [](gpointer data) -> gboolean {
      auto* self = static_cast<TestHost*>(data);
      if (self->reloaded_) std::exchange(self->reloaded_, nullptr)();
      return G_SOURCE_REMOVE;
    }, this);
  }
  void DropCachedCopies(const std::string& url) override {
    dropped.push_back(url);
    if (afterSubmission) afterSubmission(url);
  }
  void PublishComplete(const std::vector<std::string>& stored) override {
    ++completed;
    storedFiles = stored;
  }
  std::vector<std::string> storedFiles;

  bool emailAllowed = false;
  // Runs after each submission has been answered, before the next one starts.
  std::function<void(const std::string& url)> afterSubmission;

 private:
  static pq::DocumentSnapshot Snapshot(const FrameShape& shape) {
    pq::DocumentSnapshot s;
    s.location = shape.url;
    for (const auto& f : shape.frames) s.frames.push_back(Snapshot(f));
    return s;
  }
  void Record(const pq::FramePath& path, const std::string& html, const pq::SpanLayout& layout) {
    live_.recorded[path] = pq::SpansAsWritten(html, layout);
    live_.live[path] = live_.recorded[path];
  }
  void Walk(const FrameShape& shape, const pq::FramePath& path, int& entry) {
    live_.frameCounts[path] = static_cast<int>(shape.frames.size());
    for (std::size_t i = 0; i < shape.frames.size(); ++i) {
      pq::FramePath child = path;
      child.push_back(static_cast<int>(i));
      const pq::FrameEntry& e = frames_[entry++];
      Record(child, e.EditHTML(), e.page.edit.layout);
      Walk(shape.frames[i], child, entry);
    }
  }

  pq::PageRecord record_;
  pq::FrameTable frames_;
  LiveFromEditHTML live_;
  pq::engine::KeyFileSettings settings_;
  std::function<void()> reloaded_;
};

// The widget called `name` inside root (buttons of message boxes included).
inline GtkWidget* FindByName(GtkWidget* root, const std::string& name) {
  if (!root) return nullptr;
  if (name == gtk_widget_get_name(root)) return root;
  GtkWidget* found = nullptr;
  if (GTK_IS_CONTAINER(root)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList* c = children; c && !found; c = c->next)
      found = FindByName(GTK_WIDGET(c->data), name);
    g_list_free(children);
  }
  return found;
}

// Whether a label inside root reads exactly text.
inline bool HasLabel(GtkWidget* root, const std::string& text) {
  if (!root) return false;
  if (GTK_IS_LABEL(root) && text == gtk_label_get_text(GTK_LABEL(root))) return true;
  bool found = false;
  if (GTK_IS_CONTAINER(root)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList* c = children; c && !found; c = c->next) found = HasLabel(GTK_WIDGET(c->data), text);
    g_list_free(children);
  }
  return found;
}

// The first label inside root whose text holds `part`, or nullptr.
inline GtkWidget* LabelHolding(GtkWidget* root, const std::string& part) {
  if (!root) return nullptr;
  if (GTK_IS_LABEL(root) &&
      std::string(gtk_label_get_text(GTK_LABEL(root))).find(part) != std::string::npos)
    return root;
  GtkWidget* found = nullptr;
  if (GTK_IS_CONTAINER(root)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList* c = children; c && !found; c = c->next) found = LabelHolding(GTK_WIDGET(c->data), part);
    g_list_free(children);
  }
  return found;
}

// The texts of the labels inside root, one per line.
inline std::string LabelTexts(GtkWidget* root) {
  if (!root) return "";
  std::string out;
  if (GTK_IS_LABEL(root)) out = std::string(gtk_label_get_text(GTK_LABEL(root))) + "\n";
  if (GTK_IS_CONTAINER(root)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    for (GList* c = children; c; c = c->next) out += LabelTexts(GTK_WIDGET(c->data));
    g_list_free(children);
  }
  return out;
}

// A shown top-level window with this title, or nullptr.
inline GtkWindow* WindowTitled(const std::string& title) {
  GList* all = gtk_window_list_toplevels();
  GtkWindow* found = nullptr;
  for (GList* w = all; w && !found; w = w->next) {
    auto* window = GTK_WINDOW(w->data);
    const char* t = gtk_window_get_title(window);
    if (t && title == t && gtk_widget_get_mapped(GTK_WIDGET(window))) found = window;
  }
  g_list_free(all);
  return found;
}

// A screenshot of the whole display named after the running test, whichever way the test
// program started its Xvfb.
inline void ShotOf(const std::string& suffix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name =
      info ? std::string(info->test_suite_name()) + "." + info->name() : std::string("shot");
  const char* display = std::getenv("DISPLAY");
  RunCommand({"import", "-display", display ? display : ":0", "-window", "root",
              ScreenshotDir() + "/" + name + suffix + ".png"},
             "", std::chrono::seconds(20));
}

// Real XTEST events without running the main loop (steps run inside it).
// How many files dir holds, at any depth (the site server's backups).
inline int FilesIn(const std::string& dir) {
  int n = 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
       it != std::filesystem::recursive_directory_iterator(); ++it)
    n += it->is_regular_file() ? 1 : 0;
  return n;
}

inline void XdoNow(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  const auto r = RunCommand(argv, "", std::chrono::seconds(10));
  EXPECT_EQ(r.exitCode, 0) << "xdotool failed: " << r.err;
}

// Moves the pointer onto the middle of a widget and clicks it.
inline void ClickWidget(GtkWidget* widget) {
  ASSERT_NE(widget, nullptr);
  GdkWindow* window = gtk_widget_get_window(widget);
  ASSERT_NE(window, nullptr);
  int ox = 0, oy = 0;
  gdk_window_get_origin(window, &ox, &oy);
  GtkAllocation a;
  gtk_widget_get_allocation(widget, &a);
  const int x = ox + (gtk_widget_get_has_window(widget) ? 0 : a.x) + a.width / 2;
  const int y = oy + (gtk_widget_get_has_window(widget) ? 0 : a.y) + a.height / 2;
  // A synchronous move to where the pointer already is never returns: the step off is not
  // synchronous (two dialogs centred on the same window put their buttons a pixel apart).
  XdoNow({"mousemove", std::to_string(x + 1), std::to_string(y)});
  XdoNow({"mousemove", "--sync", std::to_string(x), std::to_string(y)});
  XdoNow({"click", "1"});
}

inline void TypeNow(const std::string& text) { XdoNow({"type", "--delay", "40", text}); }
inline void KeyNow(const std::string& key) { XdoNow({"key", key}); }

// Steps that run, one after another, while a form holds its modal loop: each waits until it is
// ready, then acts. A step that is not ready in time fails the test and the script gives up.
class Script {
 public:
  ~Script() {
    if (timer_) g_source_remove(timer_);
  }
  Script& Then(std::string what, std::function<bool()> ready, std::function<void()> act) {
    steps_.push_back({std::move(what), std::move(ready), std::move(act)});
    return *this;
  }
  void Start() {
    since_ = g_get_monotonic_time();
    timer_ = g_timeout_add(60, &Script::Tick, this);
  }
  bool Done() const { return steps_.empty(); }
  std::string Pending() const { return steps_.empty() ? "" : steps_.front().what; }

 private:
  struct Step {
    std::string what;
    std::function<bool()> ready;
    std::function<void()> act;
  };
  static gboolean Tick(gpointer data) {
    auto* self = static_cast<Script*>(data);
    if (self->steps_.empty() || self->busy_) return G_SOURCE_CONTINUE;
    Step& step = self->steps_.front();
    if (!step.ready()) {
      if (g_get_monotonic_time() - self->since_ > 60 * G_TIME_SPAN_SECOND) {
        ADD_FAILURE() << "step never became ready: " << step.what;
        self->steps_.clear();
        KeyNow("Escape");  // let the form under test go
      }
      return G_SOURCE_CONTINUE;
    }
    self->busy_ = true;
    Step taken = std::move(step);
    self->steps_.pop_front();
    taken.act();
    self->busy_ = false;
    self->since_ = g_get_monotonic_time();
    return G_SOURCE_CONTINUE;
  }
  std::deque<Step> steps_;
  guint timer_ = 0;
  gint64 since_ = 0;
  bool busy_ = false;
};

}  // namespace pqtest
