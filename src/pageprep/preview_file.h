#pragma once
#include <string>
#include <string_view>

namespace pq {

inline constexpr const char* kPreviewFileName = "preview.htm";

// "<!-- saved from url=(0022)http://www.example.com -->": the address's length in four digits.
std::string SavedFromComment(std::string_view url);

// The lines of preview.htm, each ended by CR LF: the saved-from comment (only for a page
// without frames), "<BASE href=\"" + origUrl + "\">", and the publishable HTML.
std::string PreviewFileText(std::string_view origUrl, bool hasFrames, std::string_view html);

// Writes TempFolder() + "preview.htm" in UTF-8 (with a byte-order mark, so the engine reads
// it as UTF-8 whatever the page declares); returns its path, or "" when it could not be written.
std::string WritePreviewFile(std::string_view origUrl, bool hasFrames, std::string_view html);

}  // namespace pq
