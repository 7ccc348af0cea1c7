#pragma once
#include <chrono>
#include <functional>
#include <string>

namespace pq::engine {

// One request of the program's own HTTP client and its answer. Every such request is checked
// against the trusted authorities (tls_trust.h) and follows redirects only within the origin it
// was sent to: a request is never carried to another scheme, host or port.
struct HttpRequest {
  std::string method = "GET";
  std::string url;
  std::string body;         // for POST
  std::string contentType;  // of the body
  std::size_t maxAnswer = 0;  // a longer answer counts as a failure
  // Asked while waiting: once it says true (the user pressed Cancel), the transfer is aborted
  // at once. Empty: only the deadline ends the wait.
  std::function<bool()> stop;
};

struct HttpAnswer {
  bool ok = false;          // an answer came (any status)
  unsigned status = 0;      // HTTP status of the last answer
  std::string body;         // exactly as it came
  std::string contentType;  // its Content-Type header
  // Why no answer can be used, in plain words, when the program refused it: an untrusted
  // certificate, or a redirect to another site. "" otherwise.
  std::string problem;
  bool certificateRefused = false;  // the problem is the site's certificate
  // The network library's own words for a failure (no connection, no answer), for the log and
  // for pqtool; "" when an answer came.
  std::string failure;
  bool cancelled = false;  // aborted because `stop` said so
  bool timedOut = false;   // no answer by the deadline
  bool sent = false;       // the request (with its body) was written out whole
};

inline constexpr int kMaxRedirects = 10;

// Sends the request and waits for the answer, letting the main context run; gives up at the
// deadline or when the request's `stop` says so. Only http and https addresses are asked.
HttpAnswer Exchange(const HttpRequest& request, std::chrono::milliseconds timeout);

}  // namespace pq::engine
