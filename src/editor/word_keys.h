#pragma once
#include <vector>

#include "core/document_event.h"

namespace pq {

// The word-wise keys of every text editor, which act inside the editable text only (the engine
// keeps the caret and the selection within the element being edited): Ctrl+Left/Right move by
// word and Ctrl+Home/End to the ends, each with Shift to select; Ctrl+Backspace/Delete delete a
// word. Handed to the in-page runtime, which lets exactly these through to the engine.
const std::vector<CtrlKeyPass>& WordKeys();

// Whether a key pressed with Ctrl (and Shift when shift) is one of them.
bool IsWordKey(int keyCode, bool shift);

}  // namespace pq
