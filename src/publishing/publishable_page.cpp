#include "publishing/publishable_page.h"

#include <algorithm>

namespace pq {

bool SpanChanged(const SpanSnapshot::Element& live, const SpanSnapshot::Element* recorded) {
  return !recorded || live.innerHTML != recorded->innerHTML ||
         live.editableLinks != recorded->editableLinks;
}

ChangedSpans::ChangedSpans(const SpanSnapshot& live, const SpanSnapshot* recorded) {
  for (const auto& [id, element] : live.elements) {
    const SpanSnapshot::Element* before = nullptr;
    if (recorded) {
      const auto it = recorded->elements.find(id);
      if (it != recorded->elements.end()) before = &it->second;
    }
    if (SpanChanged(element, before)) changed_.elements.emplace(id, element);
  }
}

std::optional<std::string> ChangedSpans::InnerHTML(const std::string& id) const {
  return changed_.InnerHTML(id);
}

std::vector<std::string> ChangedSpans::EditableLinkHTML(const std::string& id) const {
  return changed_.EditableLinkHTML(id);
}

SpanSnapshot SpansAsWritten(std::string_view editHTML) {
  SpanSnapshot spans;
  constexpr std::string_view kOpen = "<SPAN ID=\"ZZZ";
  for (std::size_t at = editHTML.find(kOpen); at != std::string_view::npos;
       at = editHTML.find(kOpen, at + 1)) {
    const std::size_t idStart = at + 10;
    const std::size_t idEnd = editHTML.find('"', idStart);
    const std::size_t openEnd = editHTML.find('>', at);
    if (idEnd == std::string_view::npos || openEnd == std::string_view::npos) break;
    // Up to the next marker tag or closer, whichever comes first.
    std::size_t close = editHTML.find("</SPAN>", openEnd);
    close = std::min(close, editHTML.find(kOpen, openEnd));
    if (close == std::string_view::npos) close = editHTML.size();
    spans.elements[std::string(editHTML.substr(idStart, idEnd - idStart))] = {
        std::string(editHTML.substr(openEnd + 1, close - openEnd - 1)), {}};
  }
  return spans;
}

std::string PublishableText(std::string_view editHTML, const SpanSnapshot& live,
                            const SpanSnapshot* recorded) {
  return StripMarkers(RestoreHTML(editHTML, ChangedSpans(live, recorded)));
}

}  // namespace pq
