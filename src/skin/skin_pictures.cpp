#include "skin/skin_pictures.h"

#include <cctype>

namespace pq::skin {

std::string PictureKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

const std::vector<std::string>& ToolbarButtonNames() {
  static const std::vector<std::string> names{
      "Back", "Forward", "Home",      "Refresh", "Go",   "Cut",     "Copy",   "Paste",
      "Bold", "Italic",  "Underline", "Undo",    "Redo", "Preview", "Publish"};
  return names;
}

std::vector<std::string> RequiredPictureNames() {
  std::vector<std::string> names;
  for (const char* image : {"ImgClose", "ImgMin", "ImgHelp", "ImgMax", "ImgNorm"})
    for (const char* look : {"Norm", "Hover", "Click"}) names.push_back(std::string(image) + look);
  for (const char* tab : {"ImgBrowse", "ImgEdit"})
    for (const char* look : {"Norm", "Unselect", "Disabled"})
      names.push_back(std::string(tab) + look);
  for (const auto& button : ToolbarButtonNames())
    for (const char* look : kButtonLooks) names.push_back(button + look);
  names.push_back("TitleImage");
  names.push_back("NoticeLink");
  names.push_back("NoticeLayout");
  return names;
}

}  // namespace pq::skin
