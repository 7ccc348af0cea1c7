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

// Carries the edits that turn b into p over to s, given the edits that turn s into b: the
// result turns s into a text that has p's text where b was edited and s's own text everywhere
// else. Where an edit of b meets a place where b differs from s, that place is taken as b has it.
std::vector<TextEdit> TransportEdits(std::string_view p,
                                     const std::vector<TextEdit>& bToP,
                                     const std::vector<TextEdit>& sToB);

// before with the edits applied.
std::string ApplyEdits(std::string_view before, const std::vector<TextEdit>& edits);

}  // namespace pq
