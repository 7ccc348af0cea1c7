#pragma once
#include <optional>

#include "core/frame_path.h"
#include "pageprep/restore_html.h"

namespace pq {

// What preview and publishing read of the documents in the edit pane, each by its frame path
// ({} the top document). The edit pane provides it; tests pass fakes.
class LiveDocuments {
 public:
  virtual ~LiveDocuments() = default;
  // -1 when the document cannot be read.
  virtual int FrameCount(const FramePath& frame) = 0;
  // The spans' contents now, in one walk; nullopt when the document cannot be read.
  virtual std::optional<SpanSnapshot> Spans(const FramePath& frame) = 0;
  // Their contents as recorded right after activation; nullopt when none were recorded.
  virtual std::optional<SpanSnapshot> RecordedSpans(const FramePath&) { return std::nullopt; }
};

}  // namespace pq
