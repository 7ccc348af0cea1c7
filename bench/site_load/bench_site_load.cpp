// Load on pagequill-site over 127.0.0.1: many concurrent check and pass key requests, and
// publications of a 1 MB page while readers fetch it. Bounded in count (fixed iterations)
// and time (client timeouts). Reports requests per second and the largest latency, and
// fails when any request fails or any reader or the final file sees a half-written page.
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

#include "publishing/md5.h"
#include "support/site_server.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kPageSize = 1024 * 1024;

struct Stats {
  std::mutex mutex;
  long requests = 0;
  long failures = 0;
  double maxLatencyMs = 0;
  Clock::time_point first = Clock::time_point::max();
  Clock::time_point last = Clock::time_point::min();
};

std::map<std::string, Stats> g_stats;
std::mutex g_statsMutex;
std::unique_ptr<pqtest::SiteServer> g_server;
fs::path g_dir;
std::atomic<long> g_tornReads{0};

Stats& StatsFor(const std::string& name) {
  std::lock_guard lock(g_statsMutex);
  return g_stats[name];
}

// A page whose every byte depends on its version number, so that any mix of two versions
// or a short page is detected: "<!--v=NNNNNNNN-->" then a pattern keyed by the version.
std::string PageVersion(unsigned version) {
  char head[32];
  std::snprintf(head, sizeof head, "<!--v=%08u-->", version);
  std::string page(head);
  page.reserve(kPageSize);
  while (page.size() < kPageSize) page += static_cast<char>('a' + (page.size() + version) % 26);
  return page;
}

bool IsWholeVersion(const std::string& page) {
  if (page.size() != kPageSize || page.rfind("<!--v=", 0) != 0) return false;
  const unsigned version = static_cast<unsigned>(std::stoul(page.substr(6, 8)));
  return page == PageVersion(version);
}

httplib::Client MakeClient() {
  httplib::Client c(g_server->url());
  c.set_connection_timeout(5);
  c.set_read_timeout(30);
  c.set_write_timeout(30);
  c.set_keep_alive(true);
  return c;
}

// Times one request; counts it as failed unless ok() holds for its reply.
template <class Request, class Ok>
void Timed(Stats& local, Request request, Ok ok) {
  const auto start = Clock::now();
  auto reply = request();
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  ++local.requests;
  if (!reply || reply->status != 200 || !ok(reply->body)) ++local.failures;
  local.maxLatencyMs = std::max(local.maxLatencyMs, ms);
}

void Merge(const std::string& name, const Stats& local, Clock::time_point start,
           Clock::time_point end) {
  Stats& s = StatsFor(name);
  std::lock_guard lock(s.mutex);
  s.requests += local.requests;
  s.failures += local.failures;
  s.maxLatencyMs = std::max(s.maxLatencyMs, local.maxLatencyMs);
  s.first = std::min(s.first, start);
  s.last = std::max(s.last, end);
}

void BM_Check(benchmark::State& state) {
  auto c = MakeClient();
  Stats local;
  const auto start = Clock::now();
  for (auto _ : state) {
    Timed(local, [&] { return c.Get("/pagequill/?type=check&now=10122026120000"); },
          [](const std::string& b) { return b == "@@ok@@Y@@N@@Y@@"; });
  }
  Merge("check", local, start, Clock::now());
  if (local.failures) state.SkipWithError("a check request failed");
}

void BM_PassKey(benchmark::State& state) {
  auto c = MakeClient();
  Stats local;
  const auto start = Clock::now();
  for (auto _ : state) {
    Timed(local, [&] { return c.Get("/pagequill/?type=passkey&now=10122026120000"); },
          [](const std::string& b) { return b.size() > 4 && b.rfind("@@", 0) == 0; });
  }
  Merge("passkey", local, start, Clock::now());
  if (local.failures) state.SkipWithError("a pass key request failed");
}

// Half the threads publish 1 MB pages (pass key, then post); the other half read the page
// and check that every read is one whole version.
void BM_Publish1MB(benchmark::State& state) {
  static std::atomic<unsigned> nextVersion{1};
  auto c = MakeClient();
  Stats local;
  const bool reader = state.thread_index() % 2 == 1;
  const auto start = Clock::now();
  for (auto _ : state) {
    if (reader) {
      Timed(local, [&] { return c.Get("/big.htm"); }, [](const std::string& b) {
        if (IsWholeVersion(b)) return true;
        ++g_tornReads;
        return false;
      });
      continue;
    }
    auto keyReply = c.Get("/pagequill/?type=passkey&now=10122026120000");
    if (!keyReply || keyReply->body.size() < 5) {
      ++local.failures;
      continue;
    }
    const std::string key =
        std::to_string(std::stol(keyReply->body.substr(2, keyReply->body.size() - 4)) + 1);
    const httplib::Params params{{"passkey", key},
                                 {"hash", pq::MD5Hex("demo" + key)},
                                 {"file", "big.htm"},
                                 {"html", PageVersion(nextVersion++)}};
    Timed(local, [&] { return c.Post("/pagequill/", params); },
          [](const std::string& b) { return b == "@@Updated@@"; });
  }
  Merge(reader ? "read 1 MB page" : "publish 1 MB page", local, start, Clock::now());
  if (local.failures) state.SkipWithError("a publication or read failed");
}

BENCHMARK(BM_Check)->Threads(16)->Iterations(2000)->UseRealTime();
BENCHMARK(BM_PassKey)->Threads(16)->Iterations(2000)->UseRealTime();
BENCHMARK(BM_Publish1MB)->Threads(8)->Iterations(25)->UseRealTime();

// After the run: the page on disk is one whole version, no temporary file is left, and
// every backup is a whole version too.
bool FinalFilesAreWhole() {
  bool ok = true;
  std::ifstream in(g_dir / "root" / "big.htm", std::ios::binary);
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!IsWholeVersion(page)) {
    std::printf("FAIL: the published page on disk is not one whole version\n");
    ok = false;
  }
  long backups = 0;
  for (const auto& e : fs::recursive_directory_iterator(g_dir)) {
    if (!e.is_regular_file()) continue;
    const std::string name = e.path().filename().string();
    if (name.find(".pq-") != std::string::npos) {
      std::printf("FAIL: temporary file left: %s\n", e.path().c_str());
      ok = false;
    }
    if (name.rfind("big.htm.", 0) == 0) {
      ++backups;
      std::ifstream b(e.path(), std::ios::binary);
      const std::string old((std::istreambuf_iterator<char>(b)), std::istreambuf_iterator<char>());
      if (!IsWholeVersion(old) && old != "<p>first</p>") {
        std::printf("FAIL: backup %s is not a whole page\n", e.path().c_str());
        ok = false;
      }
    }
  }
  std::printf("backups kept: %ld\n", backups);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);  // the client writes without MSG_NOSIGNAL
  char tmpl[] = "/tmp/pq-site-load-XXXXXX";
  g_dir = mkdtemp(tmpl);
  fs::create_directories(g_dir / "root");
  fs::create_directories(g_dir / "backups");
  std::ofstream(g_dir / "root" / "big.htm") << "<p>first</p>";
  pqtest::SiteServer::Options options;
  options.root = (g_dir / "root").string();
  options.backupDir = (g_dir / "backups").string();
  options.extraArgs = {"--max-body", std::to_string(8 * kPageSize)};
  g_server = std::make_unique<pqtest::SiteServer>(options);
  if (!g_server->ok()) {
    std::fprintf(stderr, "the site server did not start\n");
    return 1;
  }
  // The first reader may run before the first publication: give it a whole version.
  std::ofstream(g_dir / "root" / "big.htm", std::ios::binary | std::ios::trunc) << PageVersion(0);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::printf("\n%-20s %9s %9s %10s %12s %16s\n", "requests", "count", "failed", "seconds",
              "per second", "max latency ms");
  long failures = 0;
  for (auto& [name, s] : g_stats) {
    const double seconds = std::chrono::duration<double>(s.last - s.first).count();
    std::printf("%-20s %9ld %9ld %10.2f %12.0f %16.1f\n", name.c_str(), s.requests, s.failures,
                seconds, seconds > 0 ? s.requests / seconds : 0.0, s.maxLatencyMs);
    failures += s.failures;
  }
  std::printf("torn reads: %ld\n", g_tornReads.load());
  const bool whole = FinalFilesAreWhole();
  g_server.reset();
  std::error_code ec;
  fs::remove_all(g_dir, ec);
  const bool ok = failures == 0 && g_tornReads == 0 && whole;
  std::printf("%s\n", ok ? "OK: no failed request, no half-written page" : "FAILED");
  return ok ? 0 : 1;
}
