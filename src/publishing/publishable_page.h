#pragma once
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "pageprep/restore_html.h"

namespace pq {

// Whether a span's live contents differ from what the edit pane recorded at activation.
bool SpanChanged(const SpanSnapshot::Element& live, const SpanSnapshot::Element* recorded);

// The live spans of a document, except those whose contents still equal the record: those
// are left to the page's source, so that an untouched span gives back its own text instead
// of the engine's serialisation of it.
class ChangedSpans : public SpanSource {
 public:
  ChangedSpans(const SpanSnapshot& live, const SpanSnapshot* recorded);
  std::optional<std::string> InnerHTML(const std::string& id) const override;
  std::vector<std::string> EditableLinkHTML(const std::string& id) const override;
  bool Any() const { return !changed_.empty(); }

 private:
  const SpanSnapshot& live_;
  std::set<std::string_view> changed_;  // ids, kept by live_
};

// The contents of the edit and anchor spans as the edit HTML holds them: what activation
// records for a page the engine shows as written (for tools and tests without an engine).
SpanSnapshot SpansAsWritten(std::string_view editHTML, const SpanLayout& layout);


}  // namespace pq
