#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// What RestoreHTML needs of the live document in the edit pane, by element id.
class SpanSource {
 public:
  virtual ~SpanSource() = default;
  // The element's inner HTML, or nullopt when no element has that id.
  virtual std::optional<std::string> InnerHTML(const std::string& id) const = 0;
  // Inner HTML of every content-editable A element inside it, in document order.
  virtual std::vector<std::string> EditableLinkHTML(const std::string& id) const = 0;
};

// A snapshot of the span elements of one document, taken in one walk of the live page.
struct SpanSnapshot : SpanSource {
  struct Element {
    std::string innerHTML;
    std::vector<std::string> editableLinks;
  };
  std::map<std::string, Element> elements;

  std::optional<std::string> InnerHTML(const std::string& id) const override;
  std::vector<std::string> EditableLinkHTML(const std::string& id) const override;
};

// Splices the live contents of every edit span and editable link into the edit HTML and
// removes their span tags; the result is filtered by StripUnsafeChars.
std::string RestoreHTML(std::string_view editHTML, const SpanSource& document);
// Removes the origin markers and any edit or anchor span tags left.
std::string StripMarkers(std::string_view html);

}  // namespace pq
