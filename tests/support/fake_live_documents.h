#pragma once
#include <map>
#include <optional>

#include "pageprep/live_documents.h"

namespace pqtest {

// Live documents whose spans are whatever a test puts in the maps; each test decides the frames.
struct FakeLiveDocuments : pq::LiveDocuments {
  std::map<pq::FramePath, pq::SpanSnapshot> spans, recorded;
  std::optional<pq::SpanSnapshot> Spans(const pq::FramePath& f) override {
    if (!spans.count(f)) return std::nullopt;
    return spans[f];
  }
  std::optional<pq::SpanSnapshot> RecordedSpans(const pq::FramePath& f) override {
    if (!recorded.count(f)) return std::nullopt;
    return recorded[f];
  }
};

}  // namespace pqtest
