#pragma once
#include <string>
#include <vector>

#include "publishing/publish_flow.h"

namespace pq {

// One span the user changed, carried over a reload of the page: where it stood in the source
// it was edited on, and what the user made of it.
struct CarriedEdit {
  std::string document;  // the document's page address (its FullPath marker)
  std::string id;        // the span's id in the old edit copy
  SpanKind kind = SpanKind::Edit;
  std::string sourceText;  // the span's source text when the page was opened
  int ordinal = 0;         // which of the old spans with that same source text it was
  int sameText = 1;        // how many old spans had that source text
  std::string html;        // its contents in the edit pane when the reload was asked for
  std::string text;        // the same as plain text, for the clipboard
};

// The spans the user changed in each document, in document order.
std::vector<CarriedEdit> CarriedEdits(const std::vector<PublishDocument>& documents);

struct ReapplyPlan {
  struct Change {
    std::size_t edit = 0;      // index into the carried edits
    std::size_t document = 0;  // index into the new documents
    std::string id;            // the span in the new edit copy
    std::string html;
  };
  std::vector<Change> changes;
  std::vector<CarriedEdit> left;  // whose source text is no longer on the page as it was
};

// Puts each carried edit on the span of the freshly loaded page whose source text is the same
// as when the edit was made; a span whose text changed on the website, or that cannot be told
// apart from others, is left for the user (never guessed).
ReapplyPlan PlanReapply(const std::vector<CarriedEdit>& edits,
                        const std::vector<PublishDocument>& fresh);

// The carried edits as text for the clipboard, one paragraph each.
std::string EditsAsText(const std::vector<CarriedEdit>& edits);

}  // namespace pq
