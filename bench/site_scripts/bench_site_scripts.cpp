// The site script round trips a publication is made of (check, pass key, a 1 MB post), timed
// against pagequill-site and against the PHP script under PHP's built-in server, one after
// the other on 127.0.0.1. Prints the PHP script's time for each as a multiple of the
// reference server's. Every request is bounded by the client's timeouts; a failed request
// fails the benchmark.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "publishing/md5.h"
#include "support/site_server.h"

namespace {

constexpr std::size_t kPageSize = 1024 * 1024;
constexpr const char* kScripts[] = {"reference", "php"};

std::map<std::string, std::unique_ptr<pqtest::SiteServer>> g_servers;
std::map<std::string, double> g_seconds;  // "kind/request" -> seconds per round trip

pqtest::SiteServer* Server(const std::string& kind) {
  auto& s = g_servers[kind];
  if (!s) {
    pqtest::SiteServer::Options o;
    o.php = kind == "php";
    s = std::make_unique<pqtest::SiteServer>(o);
  }
  return s->ok() ? s.get() : nullptr;
}

std::unique_ptr<httplib::Client> ClientFor(pqtest::SiteServer* server) {
  auto c = std::make_unique<httplib::Client>(server->url());
  c->set_connection_timeout(10);
  c->set_read_timeout(60);
  c->set_write_timeout(60);
  return c;
}

// A pass key as the program reads it from "@@K@@", or a message.
bool PassKey(httplib::Client& c, long& key, std::string& error) {
  auto res = c.Get("/pagequill/?type=passkey&now=1");
  if (!res || res->status != 200 || res->body.size() < 5) {
    error = "pass key request failed";
    return false;
  }
  key = std::stol(res->body.substr(2));
  return true;
}

void Check(benchmark::State& state, std::string kind) {
  auto* server = Server(kind);
  if (!server) return state.SkipWithError("the site script did not start");
  auto c = ClientFor(server);
  for (auto _ : state) {
    auto res = c->Get("/pagequill/?type=check&now=1");
    if (!res || res->body.rfind("@@ok@@", 0) != 0) return state.SkipWithError("check failed");
  }
}

void Key(benchmark::State& state, std::string kind) {
  auto* server = Server(kind);
  if (!server) return state.SkipWithError("the site script did not start");
  auto c = ClientFor(server);
  for (auto _ : state) {
    long key = 0;
    std::string error;
    if (!PassKey(*c, key, error)) return state.SkipWithError(error.c_str());
  }
}

void Publish1MB(benchmark::State& state, std::string kind) {
  auto* server = Server(kind);
  if (!server) return state.SkipWithError("the site script did not start");
  auto c = ClientFor(server);
  std::string page(kPageSize, 'x');
  for (std::size_t i = 0; i < page.size(); i += 64) page[i] = '\n';
  long base = 0;
  int used = 0;
  std::string error;
  if (!PassKey(*c, base, error)) return state.SkipWithError(error.c_str());
  for (auto _ : state) {
    // One pass key issue covers 200 documents; a fresh one only when those run out.
    if (used == 190) {
      state.PauseTiming();
      if (!PassKey(*c, base, error)) return state.SkipWithError(error.c_str());
      used = 0;
      state.ResumeTiming();
    }
    const std::string key = std::to_string(base + 1 + used++);
    httplib::Params form{{"passkey", key}, {"hash", pq::MD5Hex("demo" + key)},
                         {"file", "bench.htm"}, {"html", page}};
    auto res = c->Post("/pagequill/", form);
    if (!res || res->body != "@@Updated@@") return state.SkipWithError("publication failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kPageSize);
}

// Keeps each run's real time per iteration, for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) {
      if (!r.error_occurred && r.iterations > 0) g_seconds[r.run_name.function_name] = r.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  for (const char* kind : kScripts) {
    const std::string k = kind;
    benchmark::RegisterBenchmark(("check/" + k).c_str(), Check, k)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(("passkey/" + k).c_str(), Key, k)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(("publish_1MB/" + k).c_str(), Publish1MB, k)
        ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nPHP script time as a multiple of pagequill-site's:\n");
  for (const char* request : {"check", "passkey", "publish_1MB"}) {
    const std::string ref = std::string(request) + "/reference";
    const std::string php = std::string(request) + "/php";
    auto r = g_seconds.find(ref), p = g_seconds.find(php);
    if (r == g_seconds.end() || p == g_seconds.end() || r->second <= 0) {
      std::printf("  %-12s (not measured)\n", request);
      continue;
    }
    std::printf("  %-12s %.2fx  (%.2f ms against %.2f ms)\n", request, p->second / r->second, p->second,
                r->second);
  }
  g_servers.clear();
  benchmark::Shutdown();
  return 0;
}
