#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// The line under the published address that names the files the site script stored ("file"
// fields, "%20" for spaces), or "" when that is just the page at origUrl itself.
inline std::string StoredFilesCaption(std::string_view origUrl, const std::vector<std::string>& files) {
  if (files.empty()) return "";
  std::string path(origUrl);
  if (const auto scheme = path.find("://"); scheme != std::string::npos) {
    const auto slash = path.find('/', scheme + 3);
    path = slash == std::string::npos ? "" : path.substr(slash + 1);
  }
  if (const auto cut = path.find_first_of("?#"); cut != std::string::npos) path.erase(cut);
  std::string spaced;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path.compare(i, 3, "%20") == 0) {
      spaced += ' ';
      i += 2;
    } else {
      spaced += path[i];
    }
  }
  auto named = [](std::string f) {
    for (std::size_t at; (at = f.find("%20")) != std::string::npos;) f.replace(at, 3, " ");
    return f;
  };
  if (files.size() == 1 && named(files[0]) == spaced) return "";
  std::string caption = files.size() == 1 ? "Page stored: " : "Pages stored: ";
  for (std::size_t i = 0; i < files.size(); ++i) caption += (i ? ", " : "") + named(files[i]);
  return caption;
}

}  // namespace pq
