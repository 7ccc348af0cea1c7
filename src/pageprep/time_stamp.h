#pragma once
#include <ctime>
#include <string>

namespace pq {

// The request stamp DDMMYYYYhhmmss of the local time, appended after "now=" so no cache answers.
std::string MakeTimeStamp();
std::string MakeTimeStamp(const std::tm& localTime);

}  // namespace pq
