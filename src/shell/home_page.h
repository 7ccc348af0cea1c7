#pragma once
#include <string>

#include "core/settings.h"

namespace pq {

// The browser's home page: PAGEQUILL_HOME, else the setting Browser/HomePage, else the bundled
// start page (a file URL of dataDir + "/start.htm").
std::string HomePageURL(const char* environmentHome, const Settings& settings, const std::string& dataDir);

}  // namespace pq
