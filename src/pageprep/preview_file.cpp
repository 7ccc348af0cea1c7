#include "pageprep/preview_file.h"

#include <cstdio>
#include <fstream>

#include "pageprep/temp_files.h"

namespace pq {

std::string SavedFromComment(std::string_view url) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04zu", url.size());
  return "<!-- saved from url=(" + std::string(digits) + ")" + std::string(url) + " -->";
}

std::string PreviewFileText(std::string_view origUrl, bool hasFrames, std::string_view html) {
  std::string text;
  text.reserve(html.size() + origUrl.size() * 2 + 64);
  if (!hasFrames) text += SavedFromComment(origUrl) + "\r\n";
  text += "<BASE href=\"" + std::string(origUrl) + "\">\r\n";
  text += html;
  text += "\r\n";
  return text;
}

std::string WritePreviewFile(std::string_view origUrl, bool hasFrames, std::string_view html) {
  const std::string path = TempFolder() + kPreviewFileName;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return "";
  out << "\xEF\xBB\xBF" << PreviewFileText(origUrl, hasFrames, html);
  out.close();
  return out ? path : "";
}

}  // namespace pq
