#pragma once
#include <chrono>
#include <string>

namespace pq::engine {

inline constexpr std::chrono::seconds kFetchTimeout{20};

struct FetchResult {
  bool ok = false;         // an answer came (any status)
  unsigned status = 0;     // HTTP status
  std::string text;        // body decoded to UTF-8 by the declared character set
  std::string charset;     // the character set the body was decoded from
};

// A cache-bypassing GET; the main context keeps running while it waits (bounded).
FetchResult FetchURL(const std::string& url, std::chrono::milliseconds timeout = kFetchTimeout);
// The body of the answer as UTF-8 text, or "" for any failure (no answer, bad URL, timeout).
std::string GetURLText(const std::string& url);

// Decodes a body: charset from the Content-Type header, else a byte-order mark, else a META
// tag, else Windows-1252. Exposed for tests.
std::string DecodeBody(const std::string& bytes, const std::string& contentType,
                       std::string* charsetUsed = nullptr);

}  // namespace pq::engine
