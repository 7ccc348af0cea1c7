// StripMarkers and RestoreHTML on pages of 50 KB to 1 MB that once made them quadratic: a menu
// of links written the old way (an unclosed upper-case SPAN in each link), and text full of
// marker names. Both forms are measured: by the layout AddSpans recorded, and from the text
// alone. AddSpans on the same page is the yardstick: all should grow linearly.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "pageprep/add_spans.h"
#include "pageprep/markers.h"
#include "pageprep/restore_html.h"

namespace {

std::string Repeat(std::string_view piece, std::size_t size) {
  std::string s;
  s.reserve(size + piece.size());
  while (s.size() < size) s += piece;
  return s;
}

const std::string_view kMenuItem = "<A HREF=\"p1.htm\"><SPAN CLASS=m>Item 1</A><BR>\n";

std::string Page(std::string_view kind, std::size_t size) {
  if (kind == "menu") return "<html><body>\n" + Repeat(kMenuItem, size) + "</body></html>\n";
  if (kind == "marker_names") return "<p>" + Repeat("ZZZEDIT1 ", size) + "</p>";
  return Repeat("<span id=\"zzzedit1\">x", size);  // look-alike markers, never closed
}

// A live document that changed every edit span and every link's text.
pq::SpanSnapshot Changed(const pq::MarkedHTML& marked) {
  pq::SpanSnapshot doc;
  for (const auto& s : marked.layout.spans) doc.elements[s.Id()] = {"changed", {"new text"}};
  return doc;
}

template <class Body>
void Run(benchmark::State& state, std::string_view kind, Body body) {
  const std::string page = Page(kind, static_cast<std::size_t>(state.range(0)));
  const pq::MarkedHTML marked = pq::MakeEditHTML(page, "http://s/a.htm", "http://s/a.htm");
  const pq::SpanSnapshot doc = Changed(marked);
  for (auto _ : state) {
    std::string out = body(page, marked, doc);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
  state.SetComplexityN(static_cast<int64_t>(page.size()));
  state.counters["spans"] = static_cast<double>(marked.layout.spans.size());
}

void BM_AddSpans(benchmark::State& state, std::string_view kind) {
  Run(state, kind, [](const std::string& page, const pq::MarkedHTML&, const pq::SpanSnapshot&) {
    return pq::AddSpans(page);
  });
}
void BM_StripMarkers(benchmark::State& state, std::string_view kind) {
  Run(state, kind, [](const std::string&, const pq::MarkedHTML& m, const pq::SpanSnapshot&) {
    return pq::StripMarkers(m.html, m.layout);
  });
}
void BM_RestoreHTML(benchmark::State& state, std::string_view kind) {
  Run(state, kind, [](const std::string&, const pq::MarkedHTML& m, const pq::SpanSnapshot& doc) {
    return pq::RestoreHTML(m.html, m.layout, doc).html;
  });
}
void BM_StripMarkersFromText(benchmark::State& state, std::string_view kind) {
  Run(state, kind, [](const std::string&, const pq::MarkedHTML& m, const pq::SpanSnapshot&) {
    return pq::StripMarkers(m.html);
  });
}
void BM_RestoreHTMLFromText(benchmark::State& state, std::string_view kind) {
  Run(state, kind, [](const std::string&, const pq::MarkedHTML& m, const pq::SpanSnapshot& doc) {
    return pq::RestoreHTML(m.html, doc);
  });
}

#define PQ_SIZES ->RangeMultiplier(2)->Range(50 << 10, 1 << 20)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN)
BENCHMARK_CAPTURE(BM_AddSpans, menu, "menu") PQ_SIZES;
BENCHMARK_CAPTURE(BM_StripMarkers, menu, "menu") PQ_SIZES;
BENCHMARK_CAPTURE(BM_RestoreHTML, menu, "menu") PQ_SIZES;
BENCHMARK_CAPTURE(BM_StripMarkersFromText, menu, "menu") PQ_SIZES;
BENCHMARK_CAPTURE(BM_RestoreHTMLFromText, menu, "menu") PQ_SIZES;
BENCHMARK_CAPTURE(BM_StripMarkers, marker_names, "marker_names") PQ_SIZES;
BENCHMARK_CAPTURE(BM_RestoreHTML, marker_names, "marker_names") PQ_SIZES;
BENCHMARK_CAPTURE(BM_StripMarkersFromText, look_alikes, "look_alikes") PQ_SIZES;
BENCHMARK_CAPTURE(BM_RestoreHTMLFromText, look_alikes, "look_alikes") PQ_SIZES;

}  // namespace

BENCHMARK_MAIN();
