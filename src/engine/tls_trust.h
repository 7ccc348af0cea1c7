#pragma once
#include <gio/gio.h>

#include <string>

namespace pq::engine {

// The environment variable naming a PEM file of further certificate authorities to trust
// besides the system's (a test's or a demo's own authority). Verification is never turned off.
inline constexpr const char* kExtraAuthoritiesVariable = "PAGEQUILL_EXTRA_CA";

// The authorities every TLS connection of the program is checked against: the system's, and
// those of PAGEQUILL_EXTRA_CA. nullptr when the variable is not set (or names nothing usable):
// then the system's alone, as the engine and libsoup check by default.
GTlsDatabase* TrustedAuthorities();
// Why the file PAGEQUILL_EXTRA_CA names was not used; "" when it was, or when none is named.
const std::string& ExtraAuthoritiesProblem();

// What is wrong with a server's certificate for an address, checked against the system's
// authorities and the extra ones: 0 when it is trusted.
GTlsCertificateFlags VerifyServerCertificate(GTlsCertificate* certificate, const std::string& url);

}  // namespace pq::engine
