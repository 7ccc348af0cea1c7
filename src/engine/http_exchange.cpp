#include "engine/http_exchange.h"

#include <glib.h>
#include <libsoup/soup.h>

#include <memory>

#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/tls_problem.h"
#include "engine/tls_trust.h"
#include "engine/wait_until.h"
#include "pageprep/site_origin.h"
#include "text/text_util.h"

namespace pq::engine {

namespace {

constexpr gsize kChunk = 64 * 1024;

// One request in flight. Shared by the caller and the callbacks' chain, so a request abandoned at
// its deadline finishes safely after the caller has gone.
struct Transfer {
  GObjectPtr<SoupMessage> message;
  SignalConnections signals;  // after the message, with this as their data: they go first
  GObjectPtr<GCancellable> cancellable{g_cancellable_new()};
  GObjectPtr<GInputStream> stream;
  std::string body;
  std::size_t maxBody = 0;
  std::string redirect;  // the absolute address a redirect answer names
  std::string failure;
  bool certificateRefused = false;
  GTlsCertificateFlags certificateErrors = static_cast<GTlsCertificateFlags>(0);
  bool done = false;
  bool failed = false;
  bool sent = false;
};
using TransferRef = std::shared_ptr<Transfer>;

// The chain's own reference travels as the callbacks' data: taken back by each callback, and
// handed on to the next step or dropped.
gpointer Hold(const TransferRef& t) { return std::make_unique<TransferRef>(t).release(); }
TransferRef Take(gpointer data) { return std::move(*std::unique_ptr<TransferRef>(static_cast<TransferRef*>(data))); }

SoupSession* Session() {
  // No cache feature is added, so every request goes to the server. Redirects are followed by
  // Exchange itself, so that none leaves the origin.
  static GObjectPtr<SoupSession> session = [] {
    GObjectPtr<SoupSession> s(soup_session_new_with_options("user-agent", "Pagequill/1.0", "timeout", 60u,
                                                            "idle-timeout", 30u, nullptr));
    if (GTlsDatabase* trusted = TrustedAuthorities()) soup_session_set_tls_database(s.get(), trusted);
    return s;
  }();
  return session.get();
}

bool IsRedirect(unsigned status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

void Finish(Transfer& t, bool failed) {
  t.failed = failed;
  t.done = true;
}

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  TransferRef t = Take(data);
  GError* error = nullptr;
  GBytes* bytes = g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
  if (!bytes) {
    t->failure = error ? error->message : "the answer broke off";
    g_clear_error(&error);
    return Finish(*t, true);
  }
  std::unique_ptr<GBytes, decltype(&g_bytes_unref)> owned(bytes, g_bytes_unref);
  gsize size = 0;
  const auto* p = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  if (size == 0) return Finish(*t, false);
  t->body.append(p, size);
  if (t->body.size() > t->maxBody) {
    t->failure = "the answer is larger than Pagequill accepts";
    return Finish(*t, true);
  }
  g_input_stream_read_bytes_async(t->stream.get(), kChunk, G_PRIORITY_DEFAULT, t->cancellable.get(), OnRead,
                                  Hold(t));
}

void OnSent(GObject* source, GAsyncResult* result, gpointer data) {
  TransferRef t = Take(data);
  GError* error = nullptr;
  t->stream = GObjectPtr<GInputStream>(soup_session_send_finish(SOUP_SESSION(source), result, &error));
  if (!t->stream) {
    t->certificateRefused = error && error->domain == G_TLS_ERROR;
    t->failure = error ? error->message : "no answer";
    g_clear_error(&error);
    return Finish(*t, true);
  }
  SoupMessage* message = t->message.get();
  const char* location =
      soup_message_headers_get_one(soup_message_get_response_headers(message), "Location");
  if (IsRedirect(soup_message_get_status(message)) && location) {
    GError* parseError = nullptr;
    if (GUri* target = g_uri_parse_relative(soup_message_get_uri(message), location, static_cast<GUriFlags>(SOUP_HTTP_URI_FLAGS),
                                            &parseError)) {
      GCharPtr text(g_uri_to_string(target));
      t->redirect = text.get();
      g_uri_unref(target);
      return Finish(*t, false);  // its body is not wanted
    }
    g_debug("the redirect to %s could not be read: %s", location, parseError ? parseError->message : "");
    g_clear_error(&parseError);
  }
  g_input_stream_read_bytes_async(t->stream.get(), kChunk, G_PRIORITY_DEFAULT, t->cancellable.get(), OnRead,
                                  Hold(t));
}

void OnWroteBody(SoupMessage*, gpointer data) { static_cast<Transfer*>(data)->sent = true; }

// Never accepts what the trusted authorities refused: only notes why.
gboolean OnAcceptCertificate(SoupMessage*, GTlsCertificate*, GTlsCertificateFlags errors, gpointer data) {
  static_cast<Transfer*>(data)->certificateErrors = errors;
  return FALSE;
}

std::string HostOf(const std::string& url) {
  const auto origin = OriginOf(url);
  return origin ? origin->host : "";
}

}  // namespace

HttpAnswer Exchange(const HttpRequest& request, std::chrono::milliseconds timeout) {
  HttpAnswer answer;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string url = request.url;
  std::string method = request.method;
  bool withBody = method == "POST";
  for (int hop = 0;; ++hop) {
    if (!OriginOf(url)) return answer;  // only web addresses; libsoup has nothing to say about others
    auto t = std::make_shared<Transfer>();
    t->maxBody = request.maxAnswer;
    t->message = GObjectPtr<SoupMessage>(soup_message_new(method.c_str(), url.c_str()));
    if (!t->message) return answer;  // not a URL libsoup can ask
    SoupMessage* message = t->message.get();
    soup_message_add_flags(message, SOUP_MESSAGE_NO_REDIRECT);
    t->signals.Connect(message, "accept-certificate", G_CALLBACK(OnAcceptCertificate), t.get());
    t->signals.Connect(message, "wrote-body", G_CALLBACK(OnWroteBody), t.get());
    SoupMessageHeaders* headers = soup_message_get_request_headers(message);
    soup_message_headers_replace(headers, "Cache-Control", "no-cache");
    soup_message_headers_replace(headers, "Pragma", "no-cache");
    if (withBody) {
      GBytes* bytes = g_bytes_new(request.body.data(), request.body.size());
      soup_message_set_request_body_from_bytes(message, request.contentType.c_str(), bytes);
      g_bytes_unref(bytes);
    }
    soup_session_send_async(Session(), message, G_PRIORITY_DEFAULT, t->cancellable.get(), OnSent, Hold(t));

    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    bool stopped = false;
    const bool finished = left.count() > 0 && WaitUntil(
        [&] { return t->done || (stopped = request.stop && request.stop()); }, left, "an HTTP answer");
    answer.sent = t->sent;
    if (!finished || !t->done) {
      // The chain finishes its own cancellation and lets go of the request.
      g_cancellable_cancel(t->cancellable.get());
      answer.cancelled = stopped;
      answer.timedOut = !stopped;
      answer.failure = stopped ? "cancelled" : "no answer in time";
      g_debug("%s %s: %s", method.c_str(), url.c_str(), answer.failure.c_str());
      return answer;
    }
    if (t->failed) {
      answer.failure = t->failure;
      g_debug("%s %s: %s", method.c_str(), url.c_str(), t->failure.c_str());
      if (t->certificateRefused) {
        answer.certificateRefused = true;
        answer.problem = CertificateProblem(t->certificateErrors, HostOf(url));
      }
      return answer;
    }
    const unsigned status = soup_message_get_status(message);
    if (!t->redirect.empty()) {
      if (!SameOrigin(url, t->redirect)) {
        answer.status = status;
        answer.problem = OtherSiteRefusal(url, t->redirect);
        g_debug("%s %s: a redirect to another site (%s) was not followed", method.c_str(), url.c_str(),
                t->redirect.c_str());
        return answer;
      }
      if (hop >= kMaxRedirects) {
        answer.status = status;
        answer.failure = "too many redirects";
        g_debug("%s %s: %s", method.c_str(), url.c_str(), answer.failure.c_str());
        return answer;
      }
      // As browsers do: 307 and 308 repeat the request, the others ask for the new address.
      if (status != 307 && status != 308) {
        method = "GET";
        withBody = false;
      }
      url = t->redirect;
      continue;
    }
    answer.ok = true;
    answer.status = status;
    const char* type = soup_message_headers_get_one(soup_message_get_response_headers(message), "Content-Type");
    answer.contentType = type ? type : "";
    answer.body = std::move(t->body);
    return answer;
  }
}

}  // namespace pq::engine
