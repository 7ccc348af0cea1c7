#pragma once
#include <functional>
#include <string>
#include <utility>

namespace pq {

// One answer of a fetch: the text as the page is shown, and for publishing the bytes exactly
// as they came with the character set they were read in.
struct FetchedPage {
  std::string text;     // UTF-8, byte-order mark removed; "" for any failure
  std::string bytes;    // the body as fetched, byte-order mark included
  std::string charset;  // a name of charset_labels.h ("utf-8", "windows-1252", ...)
  bool failed = false;  // no answer came at all
  unsigned status = 0;  // the HTTP status of the answer; 0 when not known (a page given as text)
  std::string problem;  // why an answer was refused (untrusted certificate, a redirect to
                        // another site), one sentence; "" when none was

  FetchedPage() = default;
  // A page given as UTF-8 text (tests, a page the engine serialised): its bytes are the text.
  FetchedPage(std::string utf8)  // NOLINT(google-explicit-constructor): tables of pages
      : text(utf8), bytes(std::move(utf8)), charset("utf-8") {}
  FetchedPage(const char* utf8) : FetchedPage(std::string(utf8)) {}  // NOLINT
};

// Fetches a URL (no answer gives an empty page). The real one is engine::FetchPage; tests pass
// tables of text.
using Fetcher = std::function<FetchedPage(const std::string& url)>;

// Why a fetched page is no page of the website to edit (an error page, or no answer), in plain
// words for the status line; "" when it is one.
std::string NotEditableReason(const FetchedPage& page);

}  // namespace pq
