#include "publishing/text_diff.h"

#include <algorithm>

namespace pq {

namespace {

// Beyond this many token insertions and deletions the comparison stops refining.
constexpr int kMaxDifferences = 2000;

bool IsContinuation(std::string_view s, std::size_t i) {
  return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Token boundaries: a tag from "<" to ">", a run of white space, a run of other characters.
// Every boundary is next to an ASCII character, so none splits a UTF-8 sequence.
std::vector<std::string_view> Tokens(std::string_view s) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t j = i + 1;
    if (s[i] == '<') {
      while (j < s.size() && s[j - 1] != '>' && s[j] != '<') ++j;
    } else if (IsSpace(s[i])) {
      while (j < s.size() && IsSpace(s[j])) ++j;
    } else {
      while (j < s.size() && s[j] != '<' && !IsSpace(s[j])) ++j;
    }
    out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

// Myers' O(ND) comparison of two token lists; fills `same` with the matched pairs (in order),
// or returns false when more than kMaxDifferences are needed.
bool MatchTokens(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                 std::vector<std::pair<int, int>>& same) {
  const int n = static_cast<int>(a.size());
  const int m = static_cast<int>(b.size());
  const int limit = std::min(n + m, kMaxDifferences);
  std::vector<int> v(static_cast<std::size_t>(2 * limit + 3), 0);
  const int offset = limit + 1;
  std::vector<std::vector<int>> trace;  // V[-d..d] after each round d
  int found = -1;
  for (int d = 0; d <= limit && found < 0; ++d) {
    for (int k = -d; k <= d; k += 2) {
      int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                           : v[offset + k - 1] + 1;
      int y = x - k;
      while (x < n && y < m && a[static_cast<std::size_t>(x)] == b[static_cast<std::size_t>(y)])
        ++x, ++y;
      v[offset + k] = x;
      if (x >= n && y >= m) found = d;
    }
    trace.emplace_back(v.begin() + offset - d, v.begin() + offset + d + 1);
  }
  if (found < 0) return false;
  // Walk back from (n, m), collecting the diagonal runs.
  int x = n, y = m;
  for (int d = found; d > 0; --d) {
    const std::vector<int>& prev = trace[static_cast<std::size_t>(d - 1)];
    auto at = [&](int k) { return prev[static_cast<std::size_t>(k + d - 1)]; };
    const int k = x - y;
    const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
    const int prevK = down ? k + 1 : k - 1;
    const int prevX = at(prevK);
    const int prevY = prevX - prevK;
    const int startX = down ? prevX : prevX + 1;
    const int startY = startX - k;
    while (x > startX && y > startY) same.emplace_back(--x, --y);
    x = prevX, y = prevY;
  }
  while (x > 0 && y > 0) same.emplace_back(--x, --y);
  std::reverse(same.begin(), same.end());
  return true;
}

// The edit of a[from, to) into b[bFrom, bTo) without the characters both ends have in common,
// so that a changed word leaves the punctuation attached to it alone.
TextEdit Tightened(std::string_view a, std::string_view b, std::size_t from, std::size_t to,
                   std::size_t bFrom, std::size_t bTo, std::size_t shift) {
  while (from < to && bFrom < bTo && a[from] == b[bFrom]) ++from, ++bFrom;
  while ((IsContinuation(a, from) || IsContinuation(b, bFrom)) && from > 0 && bFrom > 0)
    --from, --bFrom;
  while (to > from && bTo > bFrom && a[to - 1] == b[bTo - 1]) --to, --bTo;
  while ((IsContinuation(a, to) || IsContinuation(b, bTo)) && to < a.size() && bTo < b.size())
    ++to, ++bTo;
  return {shift + from, shift + to, std::string(b.substr(bFrom, bTo - bFrom))};
}

}  // namespace

std::vector<TextEdit> DiffTexts(std::string_view before, std::string_view after) {
  std::size_t prefix = 0;
  const std::size_t shorter = std::min(before.size(), after.size());
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  while (prefix > 0 && (IsContinuation(before, prefix) || IsContinuation(after, prefix))) --prefix;
  std::size_t suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  while (suffix > 0 && (IsContinuation(before, before.size() - suffix) ||
                        IsContinuation(after, after.size() - suffix)))
    --suffix;
  if (prefix == before.size() && prefix == after.size()) return {};

  const std::string_view a = before.substr(prefix, before.size() - suffix - prefix);
  const std::string_view b = after.substr(prefix, after.size() - suffix - prefix);
  const TextEdit whole{prefix, prefix + a.size(), std::string(b)};
  if (a.empty() || b.empty()) return {whole};

  const auto ta = Tokens(a);
  const auto tb = Tokens(b);
  std::vector<std::pair<int, int>> same;
  if (!MatchTokens(ta, tb, same)) return {whole};

  // Byte offset of each token in a and b.
  std::vector<std::size_t> offA(ta.size() + 1, a.size()), offB(tb.size() + 1, b.size());
  for (std::size_t i = 0, o = 0; i < ta.size(); o += ta[i].size(), ++i) offA[i] = o;
  for (std::size_t i = 0, o = 0; i < tb.size(); o += tb[i].size(), ++i) offB[i] = o;

  std::vector<TextEdit> edits;
  int i = 0, j = 0;
  same.emplace_back(static_cast<int>(ta.size()), static_cast<int>(tb.size()));  // end sentinel
  for (const auto& [si, sj] : same) {
    if (si > i || sj > j) {
      const std::size_t from = offA[static_cast<std::size_t>(i)];
      const std::size_t to = offA[static_cast<std::size_t>(si)];
      const std::size_t bFrom = offB[static_cast<std::size_t>(j)];
      const std::size_t bTo = offB[static_cast<std::size_t>(sj)];
      edits.push_back(Tightened(a, b, from, to, bFrom, bTo, prefix));
    }
    i = si + 1, j = sj + 1;
  }
  return edits;
}

std::vector<TextEdit> TransportEdits(std::string_view p,
                                     const std::vector<TextEdit>& bToP,
                                     const std::vector<TextEdit>& sToB) {
  // Where s's edits sit in b: [g, gEnd) came from s[f, t).
  struct Region {
    std::size_t g, gEnd, f, t;
  };
  std::vector<Region> regions;
  std::ptrdiff_t shift = 0;  // b position minus s position so far
  for (const auto& e : sToB) {
    const std::size_t g = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(e.from) + shift);
    regions.push_back({g, g + e.text.size(), e.from, e.to});
    shift += static_cast<std::ptrdiff_t>(e.text.size()) - static_cast<std::ptrdiff_t>(e.to - e.from);
  }
  // The s position of b position q; at a region's edge, `after` takes its s end.
  auto toS = [&](std::size_t q, bool after) {
    std::ptrdiff_t d = 0;
    for (const auto& r : regions) {
      if (r.gEnd < q || (r.gEnd == q && (r.gEnd > r.g || after))) {
        d = static_cast<std::ptrdiff_t>(r.gEnd) - static_cast<std::ptrdiff_t>(r.t);
        continue;
      }
      break;
    }
    return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(q) - d);
  };
  auto overlaps = [](const Region& r, std::size_t b1, std::size_t b2) {
    if (r.gEnd == r.g) return false;  // text s had and b lacks falls inside by itself
    return b1 == b2 ? (r.g < b1 && b1 < r.gEnd) : (r.g < b2 && b1 < r.gEnd);
  };

  std::vector<TextEdit> out;
  std::ptrdiff_t before = 0;  // p position minus b position ahead of the current group
  for (std::size_t i = 0; i < bToP.size();) {
    std::size_t b1 = bToP[i].from, b2 = bToP[i].to;
    std::ptrdiff_t inside = 0;  // what the group's own edits add
    std::size_t next = i;
    auto delta = [](const TextEdit& e) {
      return static_cast<std::ptrdiff_t>(e.text.size()) - static_cast<std::ptrdiff_t>(e.to - e.from);
    };
    for (bool changed = true; changed;) {
      changed = false;
      // Edits that start where the group ends, or inside it, join it.
      while (next < bToP.size() && (next == i || bToP[next].from <= b2)) {
        b2 = std::max(b2, bToP[next].to);
        inside += delta(bToP[next++]);
        changed = true;
      }
      // So do the places where b differs from s that the group meets.
      for (const auto& r : regions) {
        if (overlaps(r, b1, b2) && (r.g < b1 || r.gEnd > b2)) {
          b1 = std::min(b1, r.g);
          b2 = std::max(b2, r.gEnd);
          changed = true;
        }
      }
    }
    const std::size_t p1 = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(b1) + before);
    const std::size_t p2 = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(b2) + before + inside);
    const std::size_t s1 = toS(b1, true);
    const std::size_t s2 = std::max(s1, toS(b2, false));
    out.push_back({s1, s2, std::string(p.substr(p1, p2 - p1))});
    before += inside;
    i = next;
  }
  return out;
}

std::string ApplyEdits(std::string_view before, const std::vector<TextEdit>& edits) {
  std::string out;
  out.reserve(before.size());
  std::size_t cursor = 0;
  for (const auto& e : edits) {
    out.append(before.substr(cursor, e.from - cursor));
    out += e.text;
    cursor = e.to;
  }
  out.append(before.substr(std::min(cursor, before.size())));
  return out;
}

}  // namespace pq
