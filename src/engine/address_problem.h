#pragma once
#include <string>

namespace pq::engine {

// Ports the web engine never connects to, as browsers do (they belong to mail, file transfer
// and other services): a load of such an address gives an empty page and no failure.
bool IsRefusedPort(int port);

// Why the engine cannot load a web address (http or https), as a sentence for the error page:
// a blank or nothing in the host name, a port it refuses. "" when nothing is known against it.
std::string AddressProblem(const std::string& url);

// True when the address cannot serve as a document's address (its host is broken), so that the
// error page must be shown under another one.
bool IsMalformedWebAddress(const std::string& url);

}  // namespace pq::engine
