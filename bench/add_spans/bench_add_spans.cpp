// AddSpans on generated pages of 10 KB to 8 MB: throughput and how time grows with size.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "pageprep/add_spans.h"

namespace {

const char* const kWords[] = {"the",   "shop",   "opens", "daily", "fresh",  "bread",  "and",
                              "cakes", "price",  "order", "today", "our",    "garden", "club",
                              "meets", "Tuesday", "café", "menu",  "special", "prices"};

// An ordinary small-site page: headings, paragraphs with bold and italic runs and links,
// tables, line breaks, a little script, style and comment.
std::string MakePage(std::size_t size, unsigned variant) {
  std::mt19937 rng(variant);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto words = [&](int n) {
    std::string s;
    for (int k = 0; k < n; ++k) {
      if (k) s += ' ';
      s += kWords[pick(20)];
    }
    return s;
  };
  std::string page =
      "<!DOCTYPE html>\n<html><head><title>Bench page</title>\n"
      "<style>td { padding: 2px } .note > b { color: red }</style>\n"
      "<script>function go(n) { if (n > 0 && n < 9) location = 'p' + n + '.htm'; }</script>\n"
      "</head><body bgcolor=\"#ffffff\">\n";
  while (page.size() < size) {
    switch (pick(6)) {
      case 0:
        page += "<h2>" + words(3) + "</h2>\n";
        break;
      case 1:
      case 2:
        page += "<p class=\"note\">" + words(8) + " <b>" + words(2) + "</b> " + words(6) +
                " <a href=\"page" + std::to_string(pick(100)) + ".htm\">" + words(2) + "</a> " +
                words(5) + ".<br>\n" + words(7) + " <i>" + words(1) + "</i>.</p>\n";
        break;
      case 3:
        page += "<table border=1 cellpadding=\"3\">\n";
        for (int r = 0; r < 4; ++r)
          page += "<tr><td>" + words(2) + "</td><td align=right>&pound;" +
                  std::to_string(pick(90) + 1) + ".50</td><td>&nbsp;</td></tr>\n";
        page += "</table>\n";
        break;
      case 4:
        page += "<ul><li>" + words(4) + "</li><li><strong>" + words(3) + "</strong> " + words(3) +
                "</li></ul>\n<img src=\"pic.gif\" alt=\"" + words(2) + " > more\" width=40>\n";
        break;
      case 5:
        page += "<!-- section " + words(2) + " -->\n<div><font face=Arial size=2>" + words(10) +
                "</font></div>\n";
        break;
    }
  }
  page += "</body></html>\n";
  return page;
}

void BM_AddSpans(benchmark::State& state) {
  const std::string page = MakePage(static_cast<std::size_t>(state.range(0)), 42);
  for (auto _ : state) {
    std::string out = pq::AddSpans(page);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
  state.SetComplexityN(static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_AddSpans)
    ->RangeMultiplier(4)
    ->Range(10 << 10, 8 << 20)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

// Pages built to make the trimming steps and the tag reader work hardest: one run of
// unbalanced format tags, or tags whose quoted values never close before the next tag.
std::string Repeat(std::string_view piece, std::size_t size) {
  std::string s;
  s.reserve(size + piece.size());
  while (s.size() < size) s += piece;
  return s;
}

void BM_AddSpansWorstCase(benchmark::State& state, std::string_view before, std::string_view piece,
                          std::string_view after) {
  const std::string page =
      std::string(before) + Repeat(piece, static_cast<std::size_t>(state.range(0))) + std::string(after);
  for (auto _ : state) {
    std::string out = pq::AddSpans(page);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
  state.SetComplexityN(static_cast<int64_t>(page.size()));
}
BENCHMARK_CAPTURE(BM_AddSpansWorstCase, unbalanced_openers, "<p>", "<b><i> <u>", "x</p>")
    ->RangeMultiplier(4)->Range(64 << 10, 4 << 20)->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_AddSpansWorstCase, trailing_closers, "<p>x", "</b> <br>", "</p>")
    ->RangeMultiplier(4)->Range(64 << 10, 4 << 20)->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_AddSpansWorstCase, open_quotes, "", "<p a=\"x>y ", "")
    ->RangeMultiplier(4)->Range(64 << 10, 4 << 20)->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
