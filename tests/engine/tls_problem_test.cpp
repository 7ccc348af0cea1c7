#include "engine/tls_problem.h"

#include <gtest/gtest.h>

namespace {

TEST(CertificateProblem, SaysEveryReasonInPlainWords) {
  const struct {
    GTlsCertificateFlags flags;
    const char* host;
    const char* text;
  } cases[] = {
      {G_TLS_CERTIFICATE_EXPIRED, "shop.test", "The website's certificate is not trusted: it has expired."},
      {G_TLS_CERTIFICATE_BAD_IDENTITY, "shop.test",
       "The website's certificate is not trusted: it is for another website than shop.test."},
      {G_TLS_CERTIFICATE_UNKNOWN_CA, "",
       "The website's certificate is not trusted: it was issued by an authority this computer does not trust."},
      {static_cast<GTlsCertificateFlags>(G_TLS_CERTIFICATE_BAD_IDENTITY | G_TLS_CERTIFICATE_EXPIRED |
                                         G_TLS_CERTIFICATE_UNKNOWN_CA),
       "", "The website's certificate is not trusted: it is for another website than this one, it has expired, "
           "and it was issued by an authority this computer does not trust."},
      {G_TLS_CERTIFICATE_NOT_ACTIVATED, "h", "The website's certificate is not trusted: it is not valid yet."},
      {G_TLS_CERTIFICATE_REVOKED, "h", "The website's certificate is not trusted: it has been revoked."},
      {G_TLS_CERTIFICATE_GENERIC_ERROR, "h", "The website's certificate is not trusted: it could not be checked."},
  };
  for (const auto& c : cases) EXPECT_EQ(pq::engine::CertificateProblem(c.flags, c.host), c.text) << c.flags;
}

}  // namespace
