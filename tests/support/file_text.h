#pragma once
#include <string>

namespace pqtest {

// The whole content of a file as bytes; "" when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace pqtest
