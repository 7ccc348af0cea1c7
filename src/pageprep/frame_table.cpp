#include "pageprep/frame_table.h"

#include "pageprep/temp_files.h"

namespace pq {

void ClearFrameCopies(FrameTable& table) {
  DeleteNumberedFiles(kFramePrefix);
  table.Counter = 1;
}

}  // namespace pq
