#include "pageprep/page_edit_flag.h"

#include "text/text_util.h"

namespace pq {

std::string PageEditFlag(std::string_view html) {
  const std::string lower = AsciiLower(html);
  std::string result;
  std::size_t pos = 0;
  while ((pos = lower.find("<meta", pos)) != std::string::npos) {
    const auto end = lower.find('>', pos);
    if (end == std::string::npos) break;  // an unterminated META ends the scan
    std::string tag = lower.substr(pos, end - pos + 1);
    for (char& c : tag)
      if (c == '<' || c == '>' || c == '"' || c == '\'' || c == '=') c = ' ';
    if (tag.find("pqedit") != std::string::npos) {
      if (tag.find(" y ") != std::string::npos)
        result = "Y";
      else if (tag.find(" n ") != std::string::npos)
        result = "N";
    }
    pos = end + 1;
  }
  return result;
}

}  // namespace pq
