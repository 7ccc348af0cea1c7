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

// Whether an address is of a kind Pagequill opens: web pages (http, https), and the local and
// blank pages it shows itself (file, about). Anything else (mailto, javascript, ftp, ...) is
// refused with the error page.
bool IsOpenableAddress(const std::string& url);

// The reason shown for an address of another kind.
inline constexpr const char* kOnlyWebPages = "Pagequill opens web pages (http and https) only.";

}  // namespace pq::engine
