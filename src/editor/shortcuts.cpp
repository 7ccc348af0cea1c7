#include "editor/shortcuts.h"

namespace pq {

Shortcut ShortcutFor(int keyCode, bool shift) {
  switch (keyCode) {
    case 'B': return Shortcut::kBold;
    case 'I': return Shortcut::kItalic;
    case 'U': return Shortcut::kUnderline;
    case 'Z': return shift ? Shortcut::kRedo : Shortcut::kUndo;
    case 'Y': return Shortcut::kRedo;
    case 'X': return Shortcut::kCut;
    case 'C': return Shortcut::kCopy;
    case 'V': return Shortcut::kPaste;
    default: return Shortcut::kNone;
  }
}

std::string_view ShortcutKeys(Shortcut shortcut) {
  switch (shortcut) {
    case Shortcut::kBold: return "Ctrl+B";
    case Shortcut::kItalic: return "Ctrl+I";
    case Shortcut::kUnderline: return "Ctrl+U";
    case Shortcut::kUndo: return "Ctrl+Z";
    case Shortcut::kRedo: return "Ctrl+Y";
    case Shortcut::kCut: return "Ctrl+X";
    case Shortcut::kCopy: return "Ctrl+C";
    case Shortcut::kPaste: return "Ctrl+V";
    case Shortcut::kNone: break;
  }
  return {};
}

}  // namespace pq
