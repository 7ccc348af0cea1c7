#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// before[from, to) becomes text.
struct TextEdit {
  std::size_t from = 0;
  std::size_t to = 0;
  std::string text;
  bool operator==(const TextEdit&) const = default;
};

// before with the edits (ascending, never overlapping) applied.
inline std::string ApplyEdits(std::string_view before, const std::vector<TextEdit>& edits) {
  std::string out;
  out.reserve(before.size());
  std::size_t cursor = 0;
  for (const auto& e : edits) {
    out.append(before.substr(cursor, e.from - cursor));
    out += e.text;
    cursor = e.to;
  }
  out.append(before.substr(cursor < before.size() ? cursor : before.size()));
  return out;
}

}  // namespace pq
