// Real pages that nobody here wrote, each made editable as the program does it and loaded in the
// engine twice: as a file (the old way, where the desktop's type sniffing may call a copy XHTML)
// and under the program's own copy scheme (always HTML). For every page it counts whether the
// engine parsed the copy as a page with all its spans; then it types "QZ" at the start of the
// page's largest edit span and counts the characters outside "QZ" that publishing would change,
// once with the span replaced by the engine's serialisation (the old way) and once through the
// program's publishing (the span's untouched text keeps its own characters).
//   build/bin/bench_real_pages FOLDER_OR_FILE...
#include <gtk/gtk.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/wait_until.h"
#include "engine/web_view.h"
#include "pageprep/copy_address.h"
#include "pageprep/markers.h"
#include "pageprep/temp_files.h"
#include "publishing/publish_flow.h"
#include "publishing/publishable_page.h"
#include "support/xvfb.h"
#include "text/page_encoding.h"
#include "text/page_decoding.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Characters (bytes of UTF-8) that differ between `before` and `after` once the one insertion
// of "QZ" is allowed for: the middles left after the common prefix and suffix, less "QZ".
std::size_t ChangedOutsideTyping(const std::string& before, const std::string& after) {
  std::size_t p = 0;
  while (p < before.size() && p < after.size() && before[p] == after[p]) ++p;
  std::size_t s = 0;
  while (s < before.size() - p && s < after.size() - p &&
         before[before.size() - 1 - s] == after[after.size() - 1 - s])
    ++s;
  const std::string oldMid = before.substr(p, before.size() - p - s);
  std::string newMid = after.substr(p, after.size() - p - s);
  if (const auto q = newMid.find("QZ"); q != std::string::npos) newMid.erase(q, 2);
  if (oldMid == newMid) return 0;
  return std::max(oldMid.size(), newMid.size());
}

struct Probe {
  pq::engine::WebView view;
  int completions = 0;
  explicit Probe(const pq::engine::WebView::Options& o) : view(o) {
    view.DocumentComplete = [this](const pq::FramePath& p, const std::string&) {
      if (p.empty()) ++completions;
    };
  }
  bool Load(const std::string& url) {
    const int before = completions;
    view.Navigate(url);
    return pq::engine::WaitUntil([&] { return completions > before && !view.Busy(); }, 20s);
  }
  // Parsed as an HTML page that holds every span of the layout.
  bool ParsedWithSpans(std::size_t spans) {
    const auto v = view.Evaluate(
        "(document.contentType === 'text/html' && !document.getElementsByTagName('parsererror').length) ?"
        " document.querySelectorAll('span[id^=ZZZEDIT],span[id^=ZZZANCHOR]').length : -1");
    return v && v->Int(-1) == static_cast<int>(spans);
  }
};

struct Totals {
  int pages = 0, skipped = 0, unparsedBefore = 0, unparsedAfter = 0, edited = 0;
  int spansChangedBefore = 0, spansChangedAfter = 0, refused = 0;
  std::size_t changedBefore = 0, changedAfter = 0;
};

void Measure(const fs::path& file, Probe& probe, Totals& t) {
  const std::string bytes = ReadBytes(file);
  if (bytes.empty() || bytes.size() > 4 * 1024 * 1024) return;
  const pq::DecodedPage page = pq::DecodePage(bytes, "text/html");
  if (pq::IsUtf16Page(page.charset, bytes)) return;
  pq::PublishDocument doc;
  doc.sourceBytes = bytes;
  doc.sourceText = page.text;
  doc.charset = pq::CanonicalCharset(page.charset);
  const std::string address = "http://127.0.0.1/" + file.filename().string();
  pq::MarkedHTML marked = pq::MakeEditHTML(doc.sourceText, address, address);
  if (marked.layout.spans.empty()) {
    ++t.skipped;
    return;
  }
  ++t.pages;
  const std::string copy = pq::TempFolder() + "webed.htm";
  std::ofstream(copy, std::ios::binary | std::ios::trunc) << marked.html;
  const std::size_t spans = marked.layout.spans.size();
  const bool before = probe.Load("file://" + copy) && probe.ParsedWithSpans(spans);
  const bool after = probe.Load(pq::CopyAddressOf(copy)) && probe.ParsedWithSpans(spans);
  if (!before) ++t.unparsedBefore;
  if (!after) ++t.unparsedAfter;
  std::printf("%-60s %8zu %-12s parsed before:%s after:%s", file.filename().c_str(), bytes.size(),
              doc.charset.c_str(), before ? "yes" : "NO", after ? "yes" : "NO");
  if (!after) {
    std::printf("\n");
    return;
  }
  // The largest edit span: the most room for references, typographic characters and tags.
  const pq::SpanPlace* edited = nullptr;
  for (const auto& s : marked.layout.spans)
    if (s.kind == pq::SpanKind::Edit &&
        (!edited || s.sourceEnd - s.sourceBegin > edited->sourceEnd - edited->sourceBegin))
      edited = &s;
  if (!edited) {
    std::printf("\n");
    return;
  }
  const std::string id = edited->Id();
  const auto serialised = probe.view.Evaluate("document.getElementById('" + id + "').innerHTML");
  if (!serialised) {
    std::printf(" (span not read)\n");
    return;
  }
  const std::string recordedHTML = serialised->Str();
  const std::string nowHTML = "QZ" + recordedHTML;
  ++t.edited;

  // The old way: the span's source text replaced by the engine's serialisation.
  const std::string sourceSpan = doc.sourceText.substr(edited->sourceBegin, edited->sourceEnd - edited->sourceBegin);
  const std::size_t old = ChangedOutsideTyping(sourceSpan, nowHTML);

  // The program's publishing.
  doc.editHTML = marked.html;
  doc.layout = marked.layout;
  doc.recorded = pq::SpansAsWritten(doc.editHTML, *doc.layout);
  doc.recorded->elements[id].innerHTML = recordedHTML;
  doc.live = *doc.recorded;
  doc.live.elements[id].innerHTML = nowHTML;
  std::string error;
  const auto published = pq::PublishedHTML(doc, error);
  std::size_t now = 0;
  if (!published) {
    ++t.refused;
    std::printf(" span %zu chars, changed outside typing: before %zu, now refused (%s)\n", sourceSpan.size(), old,
                error.c_str());
  } else {
    const pq::DecodedPage back = pq::DecodePage(*published, "text/html; charset=" + doc.charset);
    now = ChangedOutsideTyping(doc.sourceText, back.text);
    std::printf(" span %zu chars, changed outside typing: before %zu, now %zu\n", sourceSpan.size(), old, now);
  }
  t.changedBefore += old;
  t.changedAfter += now;
  if (old) ++t.spansChangedBefore;
  if (now) ++t.spansChangedAfter;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_real_pages FOLDER_OR_FILE...\n");
    return 2;
  }
  char tmpl[] = "/tmp/pq-real-pages-XXXXXX";
  const std::string temp = mkdtemp(tmpl);
  setenv("TEMP", temp.c_str(), 1);
  pqtest::Xvfb xvfb;
  if (!xvfb.ok() || !gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    if (fs::is_directory(argv[i], ec)) {
      for (auto it = fs::recursive_directory_iterator(argv[i], ec); it != fs::recursive_directory_iterator(); ++it) {
        const auto ext = it->path().extension();
        if (it->is_regular_file() && (ext == ".htm" || ext == ".html")) files.push_back(it->path());
      }
    } else if (fs::is_regular_file(argv[i], ec)) {
      files.emplace_back(argv[i]);
    }
  }
  std::sort(files.begin(), files.end());
  pq::engine::WebView::Options options;
  options.fileAccess = true;
  options.pageScripts = false;
  Probe probe(options);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 800, 600);
  gtk_container_add(GTK_CONTAINER(window), probe.view.Widget());
  gtk_widget_show_all(window);
  Totals t;
  for (const auto& f : files) Measure(f, probe, t);
  std::printf(
      "\n%d pages with spans (%d without any), %d edited once\n"
      "not parsed as a page with all its spans: before %d, now %d\n"
      "edited spans with characters changed outside the typing: before %d (%zu characters), now %d (%zu "
      "characters); refused now: %d\n",
      t.pages, t.skipped, t.edited, t.unparsedBefore, t.unparsedAfter, t.spansChangedBefore, t.changedBefore,
      t.spansChangedAfter, t.changedAfter, t.refused);
  gtk_container_remove(GTK_CONTAINER(window), probe.view.Widget());
  gtk_widget_destroy(window);
  std::error_code ec;
  fs::remove_all(temp, ec);
  return 0;
}
