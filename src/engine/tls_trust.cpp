#include "engine/tls_trust.h"

#include <cstdlib>

#include "engine/gobject_ptr.h"
#include "pageprep/site_origin.h"

// A database that trusts what the system's trusts and what the extra authorities' trusts:
// a chain is accepted when either accepts it whole (authority, host name, dates).
struct PqTlsDatabase {
  GTlsDatabase parent;
  GTlsDatabase* system;
  GTlsDatabase* extra;
};
struct PqTlsDatabaseClass {
  GTlsDatabaseClass parent_class;
};

G_DEFINE_TYPE(PqTlsDatabase, pq_tls_database, G_TYPE_TLS_DATABASE)

namespace {

PqTlsDatabase* Self(GTlsDatabase* db) { return reinterpret_cast<PqTlsDatabase*>(db); }

GTlsCertificateFlags VerifyChain(GTlsDatabase* db, GTlsCertificate* chain, const gchar* purpose,
                                 GSocketConnectable* identity, GTlsInteraction* interaction,
                                 GTlsDatabaseVerifyFlags flags, GCancellable* cancellable,
                                 GError** error) {
  PqTlsDatabase* self = Self(db);
  GError* systemError = nullptr;
  const GTlsCertificateFlags system = g_tls_database_verify_chain(
      self->system, chain, purpose, identity, interaction, flags, cancellable, &systemError);
  if (system == 0 && !systemError) return system;
  GError* extraError = nullptr;
  const GTlsCertificateFlags extra = g_tls_database_verify_chain(
      self->extra, chain, purpose, identity, interaction, flags, cancellable, &extraError);
  // A chain that ends in an extra authority is judged by that authority's check alone: its
  // other faults (another host, expired) are the ones to report.
  if (!extraError && (extra & G_TLS_CERTIFICATE_UNKNOWN_CA) == 0) {
    g_clear_error(&systemError);
    return extra;
  }
  g_clear_error(&extraError);
  if (systemError) g_propagate_error(error, systemError);
  return system;
}

GTlsCertificate* LookupIssuer(GTlsDatabase* db, GTlsCertificate* certificate, GTlsInteraction* interaction,
                              GTlsDatabaseLookupFlags flags, GCancellable* cancellable, GError** error) {
  PqTlsDatabase* self = Self(db);
  if (GTlsCertificate* found = g_tls_database_lookup_certificate_issuer(self->system, certificate, interaction,
                                                                        flags, cancellable, nullptr))
    return found;
  return g_tls_database_lookup_certificate_issuer(self->extra, certificate, interaction, flags, cancellable, error);
}

GList* LookupIssuedBy(GTlsDatabase* db, GByteArray* issuer, GTlsInteraction* interaction,
                      GTlsDatabaseLookupFlags flags, GCancellable* cancellable, GError** error) {
  PqTlsDatabase* self = Self(db);
  GList* system = g_tls_database_lookup_certificates_issued_by(self->system, issuer, interaction, flags,
                                                               cancellable, nullptr);
  GList* extra = g_tls_database_lookup_certificates_issued_by(self->extra, issuer, interaction, flags,
                                                              cancellable, error);
  return g_list_concat(system, extra);
}

gchar* CreateHandle(GTlsDatabase* db, GTlsCertificate* certificate) {
  return g_tls_database_create_certificate_handle(Self(db)->system, certificate);
}

GTlsCertificate* LookupForHandle(GTlsDatabase* db, const gchar* handle, GTlsInteraction* interaction,
                                 GTlsDatabaseLookupFlags flags, GCancellable* cancellable, GError** error) {
  return g_tls_database_lookup_certificate_for_handle(Self(db)->system, handle, interaction, flags,
                                                      cancellable, error);
}

void Finalize(GObject* object) {
  PqTlsDatabase* self = reinterpret_cast<PqTlsDatabase*>(object);
  g_clear_object(&self->system);
  g_clear_object(&self->extra);
  G_OBJECT_CLASS(pq_tls_database_parent_class)->finalize(object);
}

}  // namespace

static void pq_tls_database_class_init(PqTlsDatabaseClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = Finalize;
  GTlsDatabaseClass* db = G_TLS_DATABASE_CLASS(klass);
  db->verify_chain = VerifyChain;
  db->lookup_certificate_issuer = LookupIssuer;
  db->lookup_certificates_issued_by = LookupIssuedBy;
  db->create_certificate_handle = CreateHandle;
  db->lookup_certificate_for_handle = LookupForHandle;
}

static void pq_tls_database_init(PqTlsDatabase*) {}

namespace pq::engine {

namespace {

struct Trust {
  GObjectPtr<GTlsDatabase> database;
  std::string problem;
};

Trust MakeTrust() {
  Trust trust;
  const char* file = std::getenv(kExtraAuthoritiesVariable);
  if (!file || !*file) return trust;
  // The file database takes only an absolute path; a relative one is read from here.
  GCharPtr path(g_canonicalize_filename(file, nullptr));
  GError* error = nullptr;
  GObjectPtr<GTlsDatabase> extra;
  if (g_file_test(path.get(), G_FILE_TEST_IS_REGULAR))
    extra = GObjectPtr<GTlsDatabase>(g_tls_file_database_new(path.get(), &error));
  else
    g_set_error_literal(&error, G_FILE_ERROR, G_FILE_ERROR_NOENT, "no such file");
  if (!extra) {
    trust.problem = std::string(kExtraAuthoritiesVariable) + " names " + file +
                    ", which holds no certificate authority Pagequill can read (" +
                    (error ? error->message : "unknown error") + "); only the system's authorities are trusted.";
    g_clear_error(&error);
    g_warning("%s", trust.problem.c_str());
    return trust;
  }
  GTlsDatabase* system = g_tls_backend_get_default_database(g_tls_backend_get_default());
  if (!system) {
    trust.problem = "The system's certificate authorities could not be read.";
    g_warning("%s", trust.problem.c_str());
    return trust;
  }
  auto* combined = static_cast<PqTlsDatabase*>(g_object_new(pq_tls_database_get_type(), nullptr));
  combined->system = system;  // the getter gave us a reference of our own
  combined->extra = extra.release();  // dropped by Finalize
  trust.database = GObjectPtr<GTlsDatabase>(G_TLS_DATABASE(combined));
  return trust;
}

const Trust& TheTrust() {
  static const Trust trust = MakeTrust();
  return trust;
}

}  // namespace

GTlsDatabase* TrustedAuthorities() { return TheTrust().database.get(); }

const std::string& ExtraAuthoritiesProblem() { return TheTrust().problem; }

GTlsCertificateFlags VerifyServerCertificate(GTlsCertificate* certificate, const std::string& url) {
  const auto origin = OriginOf(url);
  if (!certificate || !origin) return G_TLS_CERTIFICATE_GENERIC_ERROR;
  std::string host = origin->host;
  if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
  GObjectPtr<GSocketConnectable> identity(g_network_address_new(host.c_str(), static_cast<guint16>(origin->port)));
  GTlsDatabase* database = TrustedAuthorities();
  GObjectPtr<GTlsDatabase> system;
  if (!database) {
    system = GObjectPtr<GTlsDatabase>(g_tls_backend_get_default_database(g_tls_backend_get_default()));
    database = system.get();
  }
  if (!database) return G_TLS_CERTIFICATE_GENERIC_ERROR;
  GError* error = nullptr;
  GTlsCertificateFlags flags =
      g_tls_database_verify_chain(database, certificate, G_TLS_DATABASE_PURPOSE_AUTHENTICATE_SERVER, identity.get(),
                                  nullptr, G_TLS_DATABASE_VERIFY_NONE, nullptr, &error);
  if (error) {
    g_clear_error(&error);
    flags = static_cast<GTlsCertificateFlags>(flags | G_TLS_CERTIFICATE_GENERIC_ERROR);
  }
  return flags;
}

}  // namespace pq::engine
