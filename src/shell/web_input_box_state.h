#pragma once
#include <string>
#include <vector>

#include "shell/address_history.h"

namespace pq {

// What the address box does with its drop-down list after a change of its text.
struct TypingResult {
  bool closeFirst = false;          // fewer matches than before: close the list before refilling
  bool refill = false;              // the list's entries are replaced by `items`
  std::vector<std::string> items;
  bool open = false;                // open the list (ExpandCombo), else close it (CollapseCombo)
};

// The address box apart from its widgets: the sorted list, the matches of the typed text and
// the flags that tell a typed change from a set one and a list click from arrow navigation.
class WebInputBoxState {
 public:
  void RefreshList(const HistorySlots& history) { sortedList = pq::RefreshList(history); }
  TypingResult TextChanged(const std::string& text);
  // The control is shown: every flag cleared.
  void Reset();

  HistorySlots sortedList;
  int matches = 0;
  std::string suggestion;
  std::string text;
  bool listExpanded = false;
  bool settingText = false;
  bool arrowNavigation = false;
  bool dropButtonLit = false;
};

}  // namespace pq
