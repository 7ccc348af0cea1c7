#include "shell/address_history.h"

#include <cctype>
#include <utility>

namespace pq {

namespace {
constexpr const char* kSection = "History";

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string SlotKey(int slot) { return "Num" + std::to_string(slot); }
}  // namespace

void TypedAddressHistory::LoadHistory(const Settings& settings) {
  for (int n = 1; n <= kHistorySlots; ++n)
    slots_[n - 1] = settings.GetSetting(kSection, SlotKey(n), "");
}

void TypedAddressHistory::Save(Settings& settings) const {
  for (int n = 1; n <= kHistorySlots; ++n) settings.SaveSetting(kSection, SlotKey(n), slots_[n - 1]);
}

bool TypedAddressHistory::AddToHistory(const std::string& address,
                                       const std::string& StartPageUrl, Settings& settings) {
  const std::string key = Lower(address);
  if (key == Lower(StartPageUrl)) return false;
  int found = -1;  // the last matching slot counts
  for (int i = 0; i < kHistorySlots; ++i)
    if (Lower(slots_[i]) == key) found = i;
  if (found != 0) {
    // Slots above the found one (or all of them) move one place down; slot 20 drops out.
    const int from = found > 0 ? found : kHistorySlots - 1;
    for (int i = from; i > 0; --i) slots_[i] = std::move(slots_[i - 1]);
    slots_[0] = address;
  }
  Save(settings);
  return true;
}

std::vector<std::string> TypedAddressHistory::Entries() const {
  std::vector<std::string> out;
  for (const auto& s : slots_)
    if (!s.empty()) out.push_back(s);
  return out;
}

HistorySlots RefreshList(const HistorySlots& history) {
  HistorySlots sorted = history;
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (int i = 0; i + 1 < kHistorySlots; ++i) {
      if (sorted[i].empty() || sorted[i + 1].empty()) break;
      if (sorted[i + 1].size() < sorted[i].size()) {
        std::swap(sorted[i], sorted[i + 1]);
        swapped = true;
      }
    }
  }
  return sorted;
}

Suggestions SuggestionsFor(const std::string& text, const HistorySlots& sorted) {
  Suggestions s;
  if (text.empty()) return s;
  const std::string withScheme = "http://" + text;
  for (const auto& entry : sorted) {
    if (entry.size() <= text.size()) continue;
    if (entry.starts_with(text) || entry.starts_with(withScheme)) s.matches.push_back(entry);
  }
  if (!s.matches.empty()) s.suggestion = s.matches.front();
  return s;
}

}  // namespace pq
