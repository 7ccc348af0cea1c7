#include "editor/word_keys.h"

namespace pq {

namespace {
constexpr int kBackspace = 8, kEnd = 35, kHome = 36, kLeft = 37, kRight = 39, kDelete = 46;
}

const std::vector<CtrlKeyPass>& WordKeys() {
  static const std::vector<CtrlKeyPass> keys{
      {kLeft, true}, {kRight, true}, {kHome, true}, {kEnd, true}, {kBackspace, false}, {kDelete, false}};
  return keys;
}

bool IsWordKey(int keyCode, bool shift) {
  for (const CtrlKeyPass& k : WordKeys()) {
    if (k.keyCode == keyCode && (k.withShift || !shift)) return true;
  }
  return false;
}

}  // namespace pq
