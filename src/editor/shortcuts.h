#pragma once
#include <string_view>

namespace pq {

// The edit pane's own commands that a key with Ctrl held may run.
enum class Shortcut { kNone, kBold, kItalic, kUnderline, kUndo, kRedo, kCut, kCopy, kPaste };

// The command of a key pressed with Ctrl (its key code on key down, and whether Shift is held):
// B, I, U format, Z undoes, Y and Shift+Z redo, X, C, V cut, copy and paste. kNone for every
// other key: the page gets none of them.
Shortcut ShortcutFor(int keyCode, bool shift);

// "Ctrl+B", ... for tooltips and the help; empty for kNone.
std::string_view ShortcutKeys(Shortcut shortcut);

}  // namespace pq
