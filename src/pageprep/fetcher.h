#pragma once
#include <functional>
#include <string>

namespace pq {

// Fetches a URL as text ("" for any failure). The real one is engine::GetURLText; tests pass tables.
using Fetcher = std::function<std::string(const std::string& url)>;

}  // namespace pq
