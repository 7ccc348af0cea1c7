#include "support/file_text.h"

#include <fstream>
#include <iterator>

namespace pqtest {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace pqtest
