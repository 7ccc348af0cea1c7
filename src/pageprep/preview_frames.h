#pragma once
#include <optional>
#include <string>

#include "core/frame_path.h"
#include "pageprep/frame_table.h"
#include "pageprep/restore_html.h"

namespace pq {

// What the preview reads of the documents in the edit pane, each by its frame path.
class PreviewDocuments {
 public:
  virtual ~PreviewDocuments() = default;
  // -1 when the document cannot be read.
  virtual int FrameCount(const FramePath& frame) = 0;
  // The spans' live contents; nullopt when the document cannot be read.
  virtual std::optional<SpanSnapshot> Spans(const FramePath& frame) = 0;
};

// Writes a frame's preview copy, TempFolder() + prefix + n + ".htm" for the smallest free n:
// a BASE line with the frame's own address (its OrigURL marker), then the edit HTML with the
// live span contents (the markers stay). Returns the path, "" when it could not be written.
std::string MakePreviewFrameCopy(const SpanSource& document, const std::string& editHTML,
                                 const std::string& prefix);

// Writes the preview copies of every readable frame below `frame`, depth first, recording
// each as PreviewFile of its frame-table entry; the table's counter walks the entries in the
// order the edit copies were made. Frames marked "FrameError" are stepped over.
void PreviewFrames(PreviewDocuments& documents, FrameTable& table, const FramePath& frame = {});

}  // namespace pq
