#pragma once
#include <string>
#include <string_view>

namespace pq {

// The page's own pqedit META value: "Y", "N" or "" (the last META holding one wins).
std::string PageEditFlag(std::string_view html);

}  // namespace pq
