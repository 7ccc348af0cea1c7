// The site script reply parsers on a 64 MB reply of "@" (32 million empty fields): time, and
// the memory a parse adds on top of the reply itself (peak resident size before and after).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "publishing/site_replies.h"

namespace {

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

template <class Parse>
void Run(benchmark::State& state, Parse parse) {
  const std::string reply(static_cast<std::size_t>(state.range(0)) << 20, '@');
  const long before = PeakKilobytes();
  for (auto _ : state) {
    auto result = parse(reply);
    benchmark::DoNotOptimize(result);
  }
  state.counters["peak_growth_MB"] = static_cast<double>(PeakKilobytes() - before) / 1024.0;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(reply.size()));
}

void BM_ParseCheckReply(benchmark::State& state) {
  Run(state, [](const std::string& r) { return pq::ParseCheckReply(r).SiteReady; });
}
void BM_ParsePassKeyReply(benchmark::State& state) {
  Run(state, [](const std::string& r) { return pq::ParsePassKeyReply(r).ok; });
}
void BM_ParsePublishReply(benchmark::State& state) {
  Run(state, [](const std::string& r) { return pq::ParsePublishReply(r).Message.size(); });
}

BENCHMARK(BM_ParseCheckReply)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParsePassKeyReply)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParsePublishReply)->Arg(64)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
