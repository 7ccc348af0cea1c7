#pragma once
#include <string>
#include <string_view>

namespace pq {

// What can be kept of a settings file that does not parse as a whole: its group headers, its
// "key=value" lines and comments, line by line; a line that is none of these, is not UTF-8, or
// stands before the first group is left out.
struct SalvagedSettings {
  std::string text;
  int dropped = 0;  // lines left out
};

inline bool IsUtf8Line(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const int n = c < 0x80                ? 0
                  : c >= 0xC2 && c < 0xE0 ? 1
                  : c >= 0xE0 && c < 0xF0 ? 2
                  : c >= 0xF0 && c < 0xF5 ? 3
                                          : -1;
    if (n < 0 || i + static_cast<std::size_t>(n) >= s.size()) return false;
    for (int k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += static_cast<std::size_t>(n) + 1;
  }
  return true;
}

inline SalvagedSettings SalvageSettingsText(std::string_view text) {
  SalvagedSettings out;
  bool inGroup = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    bool keep = false;
    if (first == std::string_view::npos || line[first] == '#') {
      keep = IsUtf8Line(line);
    } else if (line[first] == '[') {
      const std::string_view name = line.substr(first + 1);
      const std::size_t close = name.find(']');
      keep = close != std::string_view::npos && close > 0 &&
             name.find_first_not_of(" \t", close + 1) == std::string_view::npos &&
             name.substr(0, close).find('[') == std::string_view::npos && IsUtf8Line(line);
      if (keep) {
        for (char c : name.substr(0, close))
          if (static_cast<unsigned char>(c) < 0x20) keep = false;
      }
      if (keep) inGroup = true;
    } else {
      const std::size_t eq = line.find('=');
      keep = inGroup && eq != std::string_view::npos && eq > first &&
             line.substr(first, eq - first).find_first_of("[]") == std::string_view::npos &&
             IsUtf8Line(line);
    }
    if (keep) {
      out.text.append(line);
      out.text += '\n';
    } else if (first != std::string_view::npos) {
      ++out.dropped;
    }
  }
  return out;
}

}  // namespace pq
