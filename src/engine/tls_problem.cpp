#include "engine/tls_problem.h"

#include <vector>

namespace pq::engine {

std::string CertificateProblem(GTlsCertificateFlags flags, const std::string& host) {
  std::vector<std::string> reasons;
  if (flags & G_TLS_CERTIFICATE_BAD_IDENTITY)
    reasons.push_back("it is for another website than " + (host.empty() ? std::string("this one") : host));
  if (flags & G_TLS_CERTIFICATE_EXPIRED) reasons.push_back("it has expired");
  if (flags & G_TLS_CERTIFICATE_NOT_ACTIVATED) reasons.push_back("it is not valid yet");
  if (flags & G_TLS_CERTIFICATE_REVOKED) reasons.push_back("it has been revoked");
  if (flags & G_TLS_CERTIFICATE_UNKNOWN_CA)
    reasons.push_back("it was issued by an authority this computer does not trust");
  if (flags & G_TLS_CERTIFICATE_INSECURE) reasons.push_back("it uses an algorithm that is no longer safe");
  if (reasons.empty()) reasons.push_back("it could not be checked");
  std::string text = "The website's certificate is not trusted: ";
  for (std::size_t i = 0; i < reasons.size(); ++i) {
    if (i > 0) text += i + 1 == reasons.size() ? ", and " : ", ";
    text += reasons[i];
  }
  return text + ".";
}

}  // namespace pq::engine
