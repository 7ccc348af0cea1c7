#pragma once
#include <gio/gio.h>

#include <string>

namespace pq::engine {

// Why a website's certificate is not trusted, as one sentence for the user: "The website's
// certificate is not trusted: it is for another website than www.example.com." host: the host
// the address asked for.
std::string CertificateProblem(GTlsCertificateFlags flags, const std::string& host);

}  // namespace pq::engine
