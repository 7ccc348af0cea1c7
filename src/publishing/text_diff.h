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

// The places where `after` differs from `before`, in ascending order and never overlapping,
// each starting and ending on a UTF-8 character boundary. Markup and words are compared as
// whole tokens, so separate edits of one page stay separate; a page changed in too many
// places to compare cheaply gives one edit from its first change to its last.
std::vector<TextEdit> DiffTexts(std::string_view before, std::string_view after);

// before with the edits applied.
std::string ApplyEdits(std::string_view before, const std::vector<TextEdit>& edits);

}  // namespace pq
