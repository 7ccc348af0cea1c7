#include "pageprep/time_stamp.h"

namespace pq {

std::string MakeTimeStamp(const std::tm& t) {
  char buf[32];
  const std::size_t n = std::strftime(buf, sizeof buf, "%d%m%Y%H%M%S", &t);
  return std::string(buf, n);
}

std::string MakeTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return MakeTimeStamp(local);
}

}  // namespace pq
