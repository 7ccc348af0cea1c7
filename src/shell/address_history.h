#pragma once
#include <array>
#include <string>
#include <vector>

#include "core/settings.h"

namespace pq {

inline constexpr int kHistorySlots = 20;
using HistorySlots = std::array<std::string, kHistorySlots>;  // [0] is slot 1, the newest

// The typed-address history: twenty addresses, most recent first, kept in the settings store
// under "History"/"Num1".."Num20"; an empty slot is free.
class TypedAddressHistory {
 public:
  void LoadHistory(const Settings& settings);
  // Puts the address into slot 1 (unless it is the start page) and saves every slot. Answers
  // false when the start page left the history unchanged.
  bool AddToHistory(const std::string& address, const std::string& StartPageUrl,
                    Settings& settings);
  void Save(Settings& settings) const;

  const HistorySlots& Slots() const { return slots_; }
  // Non-empty slots in history order.
  std::vector<std::string> Entries() const;

 private:
  HistorySlots slots_;
};

// The history ordered by length, shortest first; equal lengths keep their history order, and
// the ordering stops at the first empty slot.
HistorySlots RefreshList(const HistorySlots& history);

struct Suggestions {
  std::vector<std::string> matches;  // in sorted-list order
  std::string suggestion;            // the first (shortest) match, or ""
};

// Entries of the sorted list longer than the typed text that begin with it, or with "http://"
// followed by it; letter case counts.
Suggestions SuggestionsFor(const std::string& text, const HistorySlots& sorted);

}  // namespace pq
