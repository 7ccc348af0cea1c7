#pragma once
#include <string>

namespace pq::engine {

// What the error page tells the user to do.
enum class ErrorAdvice {
  CheckNetwork,  // the address could not be reached
  CheckAddress,  // the address itself is wrong (a blank in the host, a refused port)
  Reload,        // the engine stopped while showing the page: a link loads it again
  Certificate,   // the website's certificate is not trusted
};

// The page the engine shows for an address it cannot load. Its heading is "The page cannot be
// displayed", which the browse pane recognises.
std::string ErrorPageHTML(const std::string& url, const std::string& reason,
                          ErrorAdvice advice = ErrorAdvice::CheckNetwork);

}  // namespace pq::engine
