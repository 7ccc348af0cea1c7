#pragma once
#include <functional>
#include <string>
#include <utility>

#include "text/source_page.h"

namespace pq {

// One answer of a fetch: the page's source (empty for any failure), and how the fetch went.
struct FetchedPage : SourcePage {
  bool failed = false;  // no answer came at all
  unsigned status = 0;  // the HTTP status of the answer; 0 when not known (a page given as text)
  std::string problem;  // why an answer was refused (untrusted certificate, a redirect to
                        // another site), one sentence; "" when none was

  FetchedPage() = default;
  // A page given as UTF-8 text (tests, a page the engine serialised).
  FetchedPage(std::string utf8)  // NOLINT(google-explicit-constructor): tables of pages
      : SourcePage(SourcePage::FromText(std::move(utf8))) {}
  FetchedPage(const char* utf8) : FetchedPage(std::string(utf8)) {}  // NOLINT
};

// Fetches a URL (no answer gives an empty page). The real one is engine::FetchPage; tests pass
// tables of text.
using Fetcher = std::function<FetchedPage(const std::string& url)>;

// Why a fetched page is no page of the website to edit (an error page, or no answer), in plain
// words for the status line; "" when it is one.
std::string NotEditableReason(const FetchedPage& page);

}  // namespace pq
