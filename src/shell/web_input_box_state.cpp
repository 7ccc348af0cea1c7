#include "shell/web_input_box_state.h"

namespace pq {

TypingResult WebInputBoxState::TextChanged(const std::string& newText) {
  text = newText;
  TypingResult r;
  if (settingText) {
    matches = 0;
  } else {
    const Suggestions s = SuggestionsFor(text, sortedList);
    suggestion = s.suggestion;
    const int count = static_cast<int>(s.matches.size());
    r.closeFirst = count < matches;
    r.refill = true;
    r.items = s.matches;
    matches = count;
  }
  r.open = matches > 0;
  settingText = false;
  return r;
}

void WebInputBoxState::Reset() {
  listExpanded = false;
  settingText = false;
  arrowNavigation = false;
  dropButtonLit = false;
}

}  // namespace pq
