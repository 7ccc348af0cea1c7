#pragma once
#include <optional>
#include <string>
#include <vector>

#include "core/document_event.h"
#include "pageprep/frames.h"
#include "pageprep/restore_html.h"

namespace pq::engine {

// The one format in which documents travel between the in-page runtime and the program: records
// end with "\x1e", fields with "\x1f"; inside a field "\\" stands for a backslash, "\\r" for
// "\x1e", "\\f" for "\x1f" and "\\l" for "\x1d". A boolean is "1" or "". On a page of tens of
// thousands of elements one such string crosses in milliseconds where a script value per field
// costs seconds.
using PackedRecord = std::vector<std::string>;
std::vector<PackedRecord> UnpackRecords(const std::string& packed);
std::string PackRecords(const std::vector<PackedRecord>& records);

// Element records with the fields named (tag, id, text, html, editable, parent, parentId,
// parentTag, href), in that order per record.
std::vector<ElementInfo> ElementsFromRecords(const std::vector<PackedRecord>& records,
                                             const std::vector<std::string>& fields);
// The runtime's description of one element (the byId and active operations, and the active
// element of an event): tag, id, editable, parentId, parentTag, html, text.
inline const std::vector<std::string> kDescribedFields = {"tag",    "id",  "editable", "parentId",
                                                          "parentTag", "html", "text"};
std::optional<ElementInfo> DescribedElement(const std::string& packed);
// Records [id, innerHTML, editable link HTML...]; the first record of an id counts.
SpanSnapshot SpansFromRecords(std::vector<PackedRecord> records);
// Records [depth, ok, url, html, text] of a document and its frames, depth first.
std::optional<DocumentSnapshot> SnapshotFromRecords(const std::vector<PackedRecord>& records);
// A batch of changes as the runtime's apply operation takes it.
std::string PackChanges(const std::vector<ElementChange>& changes);

// Records: [markersAndMeta, frameCount], then one [tag, id, parent, text, html] per element.
std::optional<ActivationRead> ActivationReadFromRecords(const std::vector<PackedRecord>& records);

}  // namespace pq::engine
