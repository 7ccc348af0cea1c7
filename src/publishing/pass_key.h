#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "pageprep/fetcher.h"

namespace pq {

// A pass key as the site script handed it out, or why there is none.
struct PassKey {
  bool ok = false;
  int key = 0;        // K, a signed 16-bit value
  std::string error;  // for the Password form when !ok
};

// Asks the site script of the site root (scheme, host and port) for a pass key:
// "/pagequill/?type=passkey&now=" + stamp.
// A reply without a usable signed 16-bit value gives a clear error instead of a key.
PassKey GetPassKey(std::string_view siteRoot, const Fetcher& fetch, std::string_view stamp);

// The pass keys of one attempt, from K: the top page K + 1; when the page has frames the
// counter steps once before them (whether or not the top page was sent) and each frame that
// is sent takes the next value. Documents that are not sent take none.
struct PassKeySequence {
  bool ok = false;
  int top = 0;             // meaningful when the top page is sent
  std::vector<int> frames;  // one per frame sent, in order
  std::string error;       // when a key would pass 32767
};
PassKeySequence PassKeysFor(int k, bool hasFrames, int framesSent);

}  // namespace pq
