// What publishing one changed page costs, apart from the Publish form's fixed minimum display:
// building the "html" field (restore, encoding back into the page's character set) and the
// four fields, and the whole road from OK to the site script's reply (pass key, hash, post).
// Pages: the demo home page, 1 MB of UTF-8, and 1 MB of Latin-1 whose Windows-1252 quotes do
// not survive a round trip (the splicing path). Fetching the same page is the yardstick.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "engine/form_post.h"
#include "engine/http_fetch.h"
#include "pageprep/markers.h"
#include "pageprep/time_stamp.h"
#include "publishing/pass_key.h"
#include "publishing/publish_flow.h"
#include "publishing/publishable_page.h"
#include "support/file_text.h"
#include "support/site_server.h"

namespace {

pqtest::SiteServer& Site() {
  static pqtest::SiteServer site;
  return site;
}

const char* const kPages[] = {"index.htm", "big-utf8.htm", "big-latin1.htm"};

// Writes the two large pages into the server's copy of the demo site once.
void MakeLargePages() {
  static bool made = false;
  if (made) return;
  made = true;
  const std::string root = Site().root();
  std::string utf8 = "<html><head><meta charset=utf-8></head><body>\n";
  std::string latin = "<html><head><meta charset=ISO-8859-1></head><body>\n";
  for (int i = 0; utf8.size() < 1024 * 1024; ++i) {
    utf8 += "<p>Paragraph " + std::to_string(i) +
            ": Schwarzw\xC3\xA4lder Kirschtorte \xE2\x80\x93 24,50 \xE2\x82\xAC.</p>\n";
    latin += "<p>Paragraph " + std::to_string(i) + ": \x93Kirschtorte\x94 cr\xE8me br\xFBl\xE9" "e.</p>\n";
  }
  std::ofstream(root + "/big-utf8.htm", std::ios::binary) << utf8 << "</body></html>\n";
  std::ofstream(root + "/big-latin1.htm", std::ios::binary) << latin << "</body></html>\n";
}

// The page as the browse pane prepares it, with its middle span changed by the user.
pq::PublishDocument Document(const std::string& file) {
  MakeLargePages();
  const std::string url = Site().url() + "/" + file;
  pq::PublishDocument d;
  d.page = pq::PreparePage(pq::engine::FetchPage(url), url, url);
  d.recorded = pq::SpansAsWritten(d.page.edit.html, d.page.edit.layout);
  d.live = *d.recorded;
  const auto& middle = d.page.edit.layout.spans[d.page.edit.layout.spans.size() / 2];
  d.live.elements[middle.Id()].innerHTML = "Fresh today: cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e \xE2\x82\xAC";
  return d;
}

void BM_BuildFields(benchmark::State& state) {
  const std::string file = kPages[state.range(0)];
  const pq::PublishDocument doc = Document(file);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const pq::PublishPlan plan = pq::PlanPublication({doc}, Site().url());
    pq::PublishAttempt attempt(plan, "demo");
    attempt.Begin(true, 100, "");
    const std::string body = attempt.NextFields().Body();
    bytes = body.size();
    benchmark::DoNotOptimize(body.data());
  }
  state.SetLabel(file);
  state.counters["page_bytes"] = static_cast<double>(doc.page.source.bytes.size());
  state.counters["body_bytes"] = static_cast<double>(bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.page.source.bytes.size()));
}

void BM_PublishToReply(benchmark::State& state) {
  const std::string file = kPages[state.range(0)];
  pq::PublishDocument doc = Document(file);
  const std::string id = doc.page.edit.layout.spans[doc.page.edit.layout.spans.size() / 2].Id();
  int round = 0;
  const std::string root = Site().url();
  std::size_t posted = 0;
  for (auto _ : state) {
    // Text the server does not hold yet, so that every round is sent.
    doc.live.elements[id].innerHTML = "Fresh today (" + std::to_string(++round) + ") \xE2\x82\xAC";
    pq::PublishAttempt attempt(pq::PlanPublication({doc}, root), "demo");
    const pq::PassKey key =
        pq::GetPassKey(root, pq::engine::FetchPage, pq::MakeTimeStamp());
    attempt.Begin(key.ok, key.key, key.error);
    pq::engine::SubmitIEformCtrl form;
    while (attempt.Next()) {
      form.SetFields(attempt.NextFields());
      posted += form.Fields().Body().size();
      attempt.Judge(form.SubmitData(root + "/pagequill/"));
    }
    if (attempt.Outcome() != pq::PublishOutcome::Succeeded) {
      state.SkipWithError(attempt.ErrorMessage().c_str());
      break;
    }
  }
  state.SetLabel(file);
  state.counters["posted_bytes"] = benchmark::Counter(static_cast<double>(posted),
                                                      benchmark::Counter::kAvgIterations);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.page.source.bytes.size()));
}

// The publish path alone (one span edited, the bytes to post built by splicing) as the page
// grows from 256 KiB to 16 MiB: it should grow linearly.
void BM_PublishedBytesBySize(benchmark::State& state) {
  const std::size_t size = static_cast<std::size_t>(state.range(0));
  std::string page = "<html><head><meta charset=utf-8></head><body>\n";
  for (int i = 0; page.size() < size; ++i)
    page += "<p>Paragraph " + std::to_string(i) + ": Schwarzw\xC3\xA4lder Kirschtorte \xE2\x80\x93 24,50 \xE2\x82\xAC.</p>\n";
  page += "</body></html>\n";
  const std::string url = "http://127.0.0.1/page.htm";
  pq::PublishDocument d;
  d.page = pq::PreparePage(pq::SourcePage::FromText(page), url, url);
  d.recorded = pq::SpansAsWritten(d.page.edit.html, d.page.edit.layout);
  d.live = *d.recorded;
  const std::string id = d.page.edit.layout.spans[d.page.edit.layout.spans.size() / 2].Id();
  d.live.elements[id].innerHTML = d.recorded->elements[id].innerHTML + " Fresh today";
  for (auto _ : state) {
    std::string error;
    const auto html = pq::PublishedHTML(d, error);
    if (!html) {
      state.SkipWithError(error.c_str());
      break;
    }
    benchmark::DoNotOptimize(html->data());
  }
  state.SetComplexityN(static_cast<int64_t>(page.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_FetchYardstick(benchmark::State& state) {
  const std::string file = kPages[state.range(0)];
  MakeLargePages();
  const std::string url = Site().url() + "/" + file;
  for (auto _ : state) benchmark::DoNotOptimize(pq::engine::FetchPage(url).bytes.data());
  state.SetLabel(file);
}

BENCHMARK(BM_BuildFields)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublishToReply)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PublishedBytesBySize)
    ->RangeMultiplier(4)
    ->Range(256 << 10, 16 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_FetchYardstick)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
