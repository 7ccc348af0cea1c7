#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace pq::skin {

// Pictures of the skin image set are found by name without regard to case.
std::string PictureKey(std::string_view name);

// The looks of a picture button, in the order of its four pictures.
inline constexpr const char* kButtonLooks[] = {"Normal", "Highlight", "Pressed", "Disabled"};

// The toolbar buttons of the main window, by the name their pictures start with.
const std::vector<std::string>& ToolbarButtonNames();

// Every picture the skin must provide.
std::vector<std::string> RequiredPictureNames();

}  // namespace pq::skin
