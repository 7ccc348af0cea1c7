#pragma once
#include <chrono>
#include <functional>
#include <string>

#include "pageprep/fetcher.h"

namespace pq::engine {

inline constexpr std::chrono::seconds kFetchTimeout{20};

struct FetchResult {
  bool ok = false;         // an answer came (any status)
  unsigned status = 0;     // HTTP status
  std::string text;        // body decoded as browsers decode it (pageprep/page_decoding.h)
  std::string bytes;       // the body exactly as it came
  std::string charset;     // the character set the body was read in ("windows-1252", ...)
  std::string problem;     // an answer refused: untrusted certificate, redirect to another site
  std::string failure;     // the network library's words when no answer came
  bool cancelled = false;  // aborted when the caller's stop said so
};

// A cache-bypassing GET; the main context keeps running while it waits (bounded). Redirects are
// followed within the address's own scheme, host and port only.
FetchResult FetchURL(const std::string& url, std::chrono::milliseconds timeout = kFetchTimeout,
                     std::function<bool()> stop = {});
// The body of the answer as UTF-8 text, or "" for any failure (no answer, bad URL, timeout).
std::string GetURLText(const std::string& url);
// The answer as page preparation keeps it: text, bytes and character set; empty for any failure.
FetchedPage FetchPage(const std::string& url);
// The same, abandoned (failed) as soon as `stop` says true.
FetchedPage FetchPageUnlessStopped(const std::string& url, std::function<bool()> stop);

}  // namespace pq::engine
