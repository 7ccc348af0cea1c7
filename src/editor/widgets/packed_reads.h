#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/document_event.h"
#include "core/frame_path.h"
#include "engine/web_view.h"
#include "pageprep/restore_html.h"

namespace pq {

// The adapter's Elements and Spans, read through the same runtime operations but brought back
// as one packed string instead of one script value per field: on a page of tens of thousands
// of elements the field-by-field conversion costs seconds, the string a few milliseconds.
std::vector<ElementInfo> PackedElements(engine::WebView& view, const FramePath& frame,
                                        const std::vector<std::string>& fields);
// EditPaneBrowser::ActivationElements: the inner text of SPAN and A elements only, and the inner
// HTML of edit spans only, so the read stays proportional to the page.
std::vector<ElementInfo> PackedActivationElements(engine::WebView& view, const FramePath& frame);
std::optional<SpanSnapshot> PackedSpans(engine::WebView& view, const FramePath& frame);

// The adapter's ApplyChanges with the batch sent as one string, split again in the page: a
// literal of tens of thousands of arrays takes the page's script engine a second to compile.
int PackedApplyChanges(engine::WebView& view, const FramePath& frame, const std::vector<ElementChange>& changes);

// The packing, exposed for tests: records end with "\x1e", fields with "\x1f"; inside a field
// "\\" stands for a backslash, "\\r" for "\x1e", "\\f" for "\x1f" and "\\l" for "\x1d".
std::vector<std::vector<std::string>> UnpackRecords(const std::string& packed);

}  // namespace pq
