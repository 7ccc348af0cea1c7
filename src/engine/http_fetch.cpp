#include "engine/http_fetch.h"

#include "engine/http_exchange.h"
#include "text/page_decoding.h"

namespace pq::engine {

namespace {

// Pages larger than this are not ours to edit; a server streaming without end cannot fill memory.
constexpr std::size_t kMaxBody = 64u * 1024 * 1024;

}  // namespace

FetchResult FetchURL(const std::string& url, std::chrono::milliseconds timeout,
                     std::function<bool()> stop) {
  FetchResult r;
  HttpRequest request;
  request.url = url;
  request.maxAnswer = kMaxBody;
  request.stop = std::move(stop);
  HttpAnswer answer = Exchange(request, timeout);
  r.status = answer.status;
  r.cancelled = answer.cancelled;
  r.problem = std::move(answer.problem);
  r.failure = std::move(answer.failure);
  if (!answer.ok) return r;
  r.ok = true;
  DecodedPage page = DecodePage(answer.body, answer.contentType);
  r.text = std::move(page.text);
  r.charset = std::move(page.charset);
  r.bytes = std::move(answer.body);
  return r;
}

std::string GetURLText(const std::string& url) { return FetchURL(url).text; }

FetchedPage FetchPage(const std::string& url) { return FetchPageUnlessStopped(url, {}); }

FetchedPage FetchPageUnlessStopped(const std::string& url, std::function<bool()> stop) {
  FetchResult r = FetchURL(url, kFetchTimeout, std::move(stop));
  FetchedPage page;
  page.status = r.status;
  if (!r.ok) {
    page.failed = true;
    page.problem = std::move(r.problem);
    return page;
  }
  page.text = std::move(r.text);
  page.bytes = std::move(r.bytes);
  page.charset = std::move(r.charset);
  return page;
}

}  // namespace pq::engine
