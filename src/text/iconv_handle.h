#pragma once
#include <iconv.h>

#include <memory>
#include <string>

namespace pq {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
// An open iconv conversion, closed when it goes out of scope.
using IconvHandle = std::unique_ptr<void, IconvCloser>;

// Null when iconv has no conversion from `from` to `to`.
IconvHandle OpenIconv(const std::string& to, const std::string& from);

}  // namespace pq
