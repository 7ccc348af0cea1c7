#pragma once
#include <string>
#include <vector>

namespace pq {

// A document in a web view, addressed by the indexes of the frames leading to it from the top
// document: {} is the top document, {1, 0} is frames[1].frames[0].
using FramePath = std::vector<int>;

inline constexpr std::size_t kMaxFrameDepth = 16;

// "[1,0]": the path as the in-page runtime takes it.
inline std::string FramePathLiteral(const FramePath& path) {
  std::string s = "[";
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (i) s += ',';
    s += std::to_string(path[i]);
  }
  return s + "]";
}

}  // namespace pq
