#pragma once
#include <string>
#include <string_view>

#include "core/frame_path.h"

namespace pq {

// A document of the edit pane: its frame path and the number of the load that put it there,
// so a frame that loads another document is another document. Compared instead of the
// documents' HTML, so telling documents apart costs the same on every page.
struct DocumentIdentity {
  FramePath frame;
  int load = 0;
  friend bool operator==(const DocumentIdentity&, const DocumentIdentity&) = default;
};

// A span element of a document, by its id (ids are unique within a document).
struct SpanRef {
  DocumentIdentity document;
  std::string id;
  friend bool operator==(const SpanRef&, const SpanRef&) = default;
};

enum class SpanIdKind { kNone, kEdit, kAnchor };

// By the id's prefix, compared without regard to case: "ZZZEDIT" or "ZZZANCHOR".
SpanIdKind KindOfSpan(std::string_view id);

}  // namespace pq
