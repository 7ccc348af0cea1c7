#include "publishing/publishable_page.h"


namespace pq {

bool SpanChanged(const SpanSnapshot::Element& live, const SpanSnapshot::Element* recorded) {
  return !recorded || live.innerHTML != recorded->innerHTML ||
         live.editableLinks != recorded->editableLinks;
}

ChangedSpans::ChangedSpans(const SpanSnapshot& live, const SpanSnapshot* recorded) : live_(live) {
  for (const auto& [id, element] : live.elements) {
    const SpanSnapshot::Element* before = nullptr;
    if (recorded) {
      const auto it = recorded->elements.find(id);
      if (it != recorded->elements.end()) before = &it->second;
    }
    if (SpanChanged(element, before)) changed_.insert(id);
  }
}

std::optional<std::string> ChangedSpans::InnerHTML(const std::string& id) const {
  if (!changed_.count(id)) return std::nullopt;
  return live_.InnerHTML(id);
}

std::vector<std::string> ChangedSpans::EditableLinkHTML(const std::string& id) const {
  if (!changed_.count(id)) return {};
  return live_.EditableLinkHTML(id);
}

SpanSnapshot SpansAsWritten(std::string_view editHTML, const SpanLayout& layout) {
  SpanSnapshot spans;
  for (const SpanPlace& place : layout.spans) {
    if (place.contentEnd > editHTML.size() || place.contentBegin > place.contentEnd) continue;
    spans.elements[place.Id()] = {
        std::string(editHTML.substr(place.contentBegin, place.contentEnd - place.contentBegin)),
        {}};
  }
  return spans;
}

}  // namespace pq
