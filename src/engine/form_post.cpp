#include "engine/form_post.h"

#include "engine/http_exchange.h"
#include "text/page_decoding.h"

namespace pq::engine {

namespace {

// A reply larger than this is no site script's; a server that streams without end cannot
// fill memory.
constexpr std::size_t kMaxReply = 8u * 1024 * 1024;

}  // namespace

PostResult PostForm(const std::string& url, const std::string& body,
                    const std::string& contentType, std::chrono::milliseconds timeout,
                    std::function<bool()> stop) {
  PostResult r;
  HttpRequest request;
  request.method = "POST";
  request.url = url;
  request.body = body;
  request.contentType = contentType;
  request.maxAnswer = kMaxReply;
  request.stop = std::move(stop);
  HttpAnswer answer = Exchange(request, timeout);
  r.status = answer.status;
  r.cancelled = answer.cancelled;
  r.timedOut = answer.timedOut;
  r.sent = answer.sent;
  r.problem = std::move(answer.problem);
  r.failure = std::move(answer.failure);
  if (!answer.ok) return r;
  r.ok = true;
  r.text = DecodePage(answer.body, answer.contentType).text;
  r.bytes = std::move(answer.body);
  return r;
}

PostResult SubmitIEformCtrl::Submit(const std::string& url, std::chrono::milliseconds timeout,
                                    std::function<bool()> stop) {
  return PostForm(url, fields_.Body(), kFormContentType, timeout, std::move(stop));
}

std::string SubmitIEformCtrl::SubmitData(const std::string& url, std::chrono::milliseconds timeout) {
  return Submit(url, timeout).text;
}

}  // namespace pq::engine
