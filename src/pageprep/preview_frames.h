#pragma once
#include <optional>
#include <string>

#include "core/frame_path.h"
#include "pageprep/frame_table.h"
#include "pageprep/live_documents.h"
#include "pageprep/restore_html.h"

namespace pq {

// Writes a frame's preview copy, TempFolder() + prefix + n + ".htm" for the smallest free n:
// a BASE line with the frame's own address (its OrigURL marker), then the edit HTML with the
// live span contents (the markers stay). Returns the path, "" when it could not be written.
std::string MakePreviewFrameCopy(const SpanSource& document, const MarkedHTML& edit,
                                 const std::string& prefix);

// Writes the preview copies of every readable frame below `frame`, depth first, recording
// each as PreviewFile of its frame-table entry; the table's counter walks the entries in the
// order the edit copies were made. Frames marked "FrameError" are stepped over.
void PreviewFrames(LiveDocuments& documents, FrameTable& table, const FramePath& frame = {});

}  // namespace pq
