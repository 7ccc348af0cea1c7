#include "engine/web_view.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/address_problem.h"
#include "engine/copy_scheme.h"
#include "engine/document_event_queue.h"
#include "engine/gobject_ptr.h"
#include "engine/http_exchange.h"
#include "engine/in_page_runtime.h"
#include "engine/keys_after_click.h"
#include "engine/packed_records.h"
#include "engine/script_value_conversion.h"
#include "engine/signal_connection.h"
#include "engine/source_id.h"
#include "engine/tls_problem.h"
#include "engine/tls_trust.h"
#include "engine/wait_until.h"
#include "pageprep/copy_address.h"
#include "pageprep/site_origin.h"
#include "text/text_util.h"

namespace pq::engine {

namespace {

WebKitWebContext* SharedContext() {
  // One ephemeral context for all views: nothing of the browsed sites is kept on disk, and the
  // engine's cache cannot serve a page older than the one just published.
  static WebKitWebContext* context = [] {
    WebKitWebContext* c = webkit_web_context_new_ephemeral();
    webkit_web_context_set_cache_model(c, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    RegisterCopyScheme(c);
    return c;
  }();
  return context;
}

struct EvalState {
  bool done = false;
  bool ok = false;
  bool runtimeMissing = false;
  ScriptValue value;
};

void OnEvaluated(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<std::shared_ptr<EvalState>> holder(static_cast<std::shared_ptr<EvalState>*>(data));
  EvalState& state = **holder;
  GError* rawError = nullptr;
  GObjectPtr<JSCValue> value(webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &rawError));
  GErrorPtr error(rawError);
  if (error) {
    g_debug("a script in the page failed: %s", error->message ? error->message : "(no message)");
  } else if (value && jsc_value_is_object(value.get()) &&
             jsc_value_object_has_property(value.get(), kRuntimeMissing)) {
    state.runtimeMissing = true;
  } else if (value) {
    state.value = ToScriptValue(value.get());
    state.ok = true;
  }
  state.done = true;
}

// Runs a script (in the runtime's world unless pageWorld) and waits for its answer.
std::shared_ptr<EvalState> Run(WebKitWebView* view, GCancellable* cancellable, WebView::ScriptStats& stats,
                               const std::string& script, bool pageWorld, std::chrono::milliseconds timeout) {
  auto state = std::make_shared<EvalState>();
  ++stats.roundTrips;
  stats.bytesSent += static_cast<long long>(script.size());
  // The callback takes this copy of the shared state back and frees it.
  auto holder = std::make_unique<std::shared_ptr<EvalState>>(state);
  webkit_web_view_evaluate_javascript(view, script.data(), static_cast<gssize>(script.size()),
                                      pageWorld ? nullptr : kRuntimeWorld, nullptr, cancellable, OnEvaluated,
                                      holder.release());
  WaitUntil([&] { return state->done; }, timeout, "the answer of a script in the page");
  return state;
}

}  // namespace

struct WebView::Impl {
  WebView* owner = nullptr;
  GObjectPtr<WebKitUserContentManager> content;
  GObjectPtr<WebKitWebView> view;
  GObjectPtr<GCancellable> cancellable{g_cancellable_new()};
  bool ownCopies = false;        // the view shows the program's page copies (file access)
  bool ownRequest = false;       // the next main-document navigation is one we asked for
  bool topCommitted = false;     // the main document of the current load is committed
  bool topLoading = false;
  bool topHasFrames = false;
  bool loadFailed = false;       // the current main load failed; its FINISHED is no completion
  std::string errorPageUrl;      // the failed address whose error page is being loaded
  std::string lastAllowed;       // the address of the latest navigation let through
  std::string startedUrl;        // the address the current main load started for
  std::string retryUrl;          // loaded again once its certificate passed the extra authorities
  SourceId retrySource;
  std::string cancelRetriedUrl;  // already tried again after the network side dropped it
  int certificateRetries = 0;    // loads again of the address asked for, its certificate allowed
  SourceId checkSource;          // our own look at an https site whose load was dropped twice
  std::string checkUrl, checkMessage;
  int loadsStarted = 0;
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);
  // Certificates allowed for their hosts after passing the extra authorities: one that still
  // fails is not tried again.
  std::vector<std::pair<std::string, GObjectPtr<GTlsCertificate>>> allowed;
  // A reload that reads the page in a character set it does not declare: the view's default
  // set until that load ends (asked, then loading), and the default to go back to.
  enum class CharsetLoad { None, Asked, Loading } charsetLoad = CharsetLoad::None;
  std::string savedDefaultCharset;
  int lastBack = -1, lastForward = -1;
  DocumentEventQueue events{[this](const DocumentEvent& e) {
    if (owner->DocumentEventFired) owner->DocumentEventFired(e);
  }};

  // When the view goes: nothing it still has under way reports back, and it leaves its window.
  struct Closer {
    Impl& impl;
    ~Closer() {
      *impl.alive = false;
      impl.retrySource.Reset();
      impl.checkSource.Reset();
      g_cancellable_cancel(impl.cancellable.get());
      if (impl.content)
        webkit_user_content_manager_unregister_script_message_handler_in_world(impl.content.get(), kRuntimeChannel,
                                                                               kRuntimeWorld);
      if (!impl.view) return;
      webkit_web_view_stop_loading(impl.view.get());
      GtkWidget* widget = GTK_WIDGET(impl.view.get());
      if (GtkWidget* parent = gtk_widget_get_parent(widget)) gtk_container_remove(GTK_CONTAINER(parent), widget);
    }
  } closer{*this};
  std::unique_ptr<KeysAfterClick> keys;
  // Declared last, so the handlers are gone before anything above is torn down.
  SignalConnections signals;

  // Shows the error page in place of the address. An address the engine cannot hold as a
  // document's (a blank in its host, a mail address) gets the page under "about:blank".
  void ShowErrorPage(const std::string& url, const std::string& reason, ErrorAdvice advice) {
    const bool usable = (StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://") ||
                         StartsWithNoCase(url, "file:")) &&
                        !IsMalformedWebAddress(url);
    const std::string base = usable ? url : "about:blank";
    errorPageUrl = base;
    const std::string page = ErrorPageHTML(url, reason, advice);
    webkit_web_view_load_alternate_html(view.get(), page.c_str(), base.c_str(), nullptr);
  }

  // Not from inside the failing load: once it has finished.
  void LoadAgainWhenIdle(const std::string& url, unsigned delayMs = 0) {
    retryUrl = url;
    retrySource.StartTimeout(delayMs,
        [](gpointer d) -> gboolean {
          auto* impl = static_cast<Impl*>(d);
          impl->retrySource.Reset();
          impl->ownRequest = true;
          webkit_web_view_load_uri(impl->view.get(), impl->retryUrl.c_str());
          return G_SOURCE_REMOVE;
        },
        this);
  }

  // Asks the site once with the program's own client (bounded) and shows the error page with
  // its certificate's problem, or the engine's own words when the certificate is not the cause.
  void CheckCertificateWhenIdle(const std::string& url, const std::string& message) {
    checkUrl = url;
    checkMessage = message;
    checkSource.StartIdle(
        [](gpointer d) -> gboolean {
          auto* impl = static_cast<Impl*>(d);
          impl->checkSource.Reset();
          const std::shared_ptr<bool> alive = impl->alive;
          const int loads = impl->loadsStarted;
          const std::string url = impl->checkUrl;
          HttpRequest request;
          request.method = "HEAD";
          request.url = url;
          request.stop = [alive] { return !*alive; };
          const HttpAnswer answer = Exchange(request, std::chrono::seconds(10));
          // Gone, or the user went elsewhere meanwhile.
          if (!*alive || impl->loadsStarted != loads) return G_SOURCE_REMOVE;
          if (answer.certificateRefused)
            impl->ShowErrorPage(url, answer.problem, ErrorAdvice::Certificate);
          else
            impl->ShowErrorPage(url, impl->checkMessage, ErrorAdvice::CheckNetwork);
          return G_SOURCE_REMOVE;
        },
        this);
  }

  void RestoreDefaultCharset() {
    if (charsetLoad == CharsetLoad::None) return;
    charsetLoad = CharsetLoad::None;
    webkit_settings_set_default_charset(webkit_web_view_get_settings(view.get()), savedDefaultCharset.c_str());
  }

  void ReportCommandState() {
    const int back = webkit_web_view_can_go_back(view.get()) ? 1 : 0;
    const int forward = webkit_web_view_can_go_forward(view.get()) ? 1 : 0;
    if (forward != lastForward) {
      lastForward = forward;
      if (owner->CommandStateChange) owner->CommandStateChange(kCommandForward, forward != 0);
    }
    if (back != lastBack) {
      lastBack = back;
      if (owner->CommandStateChange) owner->CommandStateChange(kCommandBack, back != 0);
    }
  }

  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
      // Nothing is ever downloaded: an answer the engine cannot show is dropped.
      auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
      if (!webkit_response_policy_decision_is_mime_type_supported(response)) {
        webkit_policy_decision_ignore(decision);
        return TRUE;
      }
      return FALSE;
    }
    auto* nav = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(nav);
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    const std::string url = uri ? uri : "";
    bool cancel = false;
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
      if (self->owner->NewWindow) self->owner->NewWindow(url, cancel);
      webkit_policy_decision_ignore(decision);  // there are no other windows to open
      return TRUE;
    }
    if (!self->errorPageUrl.empty() && url == self->errorPageUrl) return FALSE;
    // The second try of a load already let through.
    if (!self->retryUrl.empty() && url == self->retryUrl) {
      self->retryUrl.clear();
      return FALSE;
    }
    const auto kind = webkit_navigation_action_get_navigation_type(action);
    NavigationRequest req{url, true};
    if (self->ownRequest || kind == WEBKIT_NAVIGATION_TYPE_BACK_FORWARD ||
        kind == WEBKIT_NAVIGATION_TYPE_RELOAD) {
      req.topLevel = true;
    } else if ((self->topLoading && self->topCommitted) || self->topHasFrames) {
      req.topLevel = false;
    }
    if (self->owner->BeforeNavigate) self->owner->BeforeNavigate(req, cancel);
    if (cancel) {
      webkit_policy_decision_ignore(decision);
      return TRUE;
    }
    self->lastAllowed = url;
    self->certificateRetries = 0;  // a navigation of its own, not a second try
    return FALSE;
  }

  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    const char* uri = webkit_web_view_get_uri(view);
    const std::string url = uri ? uri : "";
    switch (event) {
      case WEBKIT_LOAD_STARTED: {
        // For a link the view still reports the old address here; the main document's load
        // starts right after its own navigation was let through.
        // Only the reload asked for reads undeclared text in the other set; any later load
        // reads it as before.
        if (self->charsetLoad == CharsetLoad::Asked)
          self->charsetLoad = CharsetLoad::Loading;
        else
          self->RestoreDefaultCharset();
        const std::string started = self->lastAllowed.empty() ? url : self->lastAllowed;
        self->lastAllowed.clear();
        if (self->errorPageUrl.empty()) self->startedUrl = started;
        ++self->loadsStarted;
        self->ownRequest = false;
        self->topLoading = true;
        self->topCommitted = false;
        self->loadFailed = false;
        if (self->owner->TopNavigationStarted && self->errorPageUrl.empty())
          self->owner->TopNavigationStarted(started);
        break;
      }
      case WEBKIT_LOAD_REDIRECTED:
        break;
      case WEBKIT_LOAD_COMMITTED:
        self->topCommitted = true;
        self->topHasFrames = false;
        if (self->owner->NavigateComplete) self->owner->NavigateComplete({}, url);
        self->ReportCommandState();
        break;
      case WEBKIT_LOAD_FINISHED: {
        if (self->charsetLoad == CharsetLoad::Loading) self->RestoreDefaultCharset();
        self->topLoading = false;
        const bool failed = self->loadFailed;
        self->loadFailed = false;
        const bool errorPage = !self->errorPageUrl.empty();
        if (!failed) self->errorPageUrl.clear();
        self->ReportCommandState();
        if (self->owner->DownloadComplete) self->owner->DownloadComplete();
        if (!failed && !errorPage && url == "about:blank" && self->startedUrl != url &&
            !self->startedUrl.empty()) {
          // The engine refused the address without a failure (a port kept for other services)
          // and shows an empty page in its place: say why instead.
          std::string reason = AddressProblem(self->startedUrl);
          if (reason.empty()) reason = "The web engine refused to load this address.";
          self->ShowErrorPage(self->startedUrl, reason, ErrorAdvice::CheckAddress);
          break;
        }
        if (!failed && self->owner->DocumentComplete) self->owner->DocumentComplete({}, url);
        break;
      }
    }
  }

  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* failingUri,
                               GError* error, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    self->loadFailed = true;
    g_debug("load of %s failed: %s %d %s", failingUri ? failingUri : "",
            g_quark_to_string(error->domain), error->code, error->message ? error->message : "");
    const bool stopped =
        (error->domain == WEBKIT_NETWORK_ERROR && error->code == WEBKIT_NETWORK_ERROR_CANCELLED) ||
        (error->domain == WEBKIT_POLICY_ERROR &&
         error->code == WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
        (error->domain == WEBKIT_DOWNLOAD_ERROR);
    if (stopped) return TRUE;
    const std::string url = failingUri && *failingUri ? failingUri : self->startedUrl;
    // Now and then the network side drops a load outright (cancelled, though nobody pressed
    // Stop), seen with refused certificates: one quiet second try, then, for https, our own
    // client names the real reason.
    if (error->domain == G_IO_ERROR && error->code == G_IO_ERROR_CANCELLED &&
        (StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://"))) {
      if (url != self->cancelRetriedUrl && !self->retrySource.Active()) {
        self->cancelRetriedUrl = url;
        self->LoadAgainWhenIdle(url);
        return TRUE;
      }
      if (StartsWithNoCase(url, "https://") && !self->checkSource.Active()) {
        self->CheckCertificateWhenIdle(url, error->message ? error->message : "");
        return TRUE;
      }
    }
    // The error page itself failed: nothing better can be shown.
    if (!self->errorPageUrl.empty() && url == self->errorPageUrl) return TRUE;
    if (error->domain == WEBKIT_POLICY_ERROR && error->code == WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI) {
      // An address the engine cannot show at all: the user learns why instead of waiting.
      std::string reason = AddressProblem(url);
      if (reason.empty() && !StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://"))
        reason = kOnlyWebPages;
      if (reason.empty()) reason = error->message ? error->message : "";
      self->ShowErrorPage(url, reason, ErrorAdvice::CheckAddress);
      return TRUE;
    }
    self->ShowErrorPage(url, error->message ? error->message : "", ErrorAdvice::CheckNetwork);
    return TRUE;
  }

  // The engine refused the main document's certificate. With extra authorities (tls_trust.h)
  // the program judges it again against those and the system's: a certificate that passes is
  // allowed for its host and the page loaded again. Otherwise the error page says why.
  static gboolean OnTlsErrors(WebKitWebView* view, gchar* failingUri, GTlsCertificate* certificate,
                              GTlsCertificateFlags errors, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    self->loadFailed = true;
    const std::string url = failingUri && *failingUri ? failingUri : self->startedUrl;
    const auto origin = OriginOf(url);
    std::string host = origin ? origin->host : "";
    if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
    if (TrustedAuthorities() && certificate) {
      errors = VerifyServerCertificate(certificate, url);
      const bool triedBefore = std::any_of(self->allowed.begin(), self->allowed.end(), [&](const auto& a) {
        return a.first == host && g_tls_certificate_is_same(a.second.get(), certificate);
      });
      // The permission reaches the network side apart from the load, which can overtake it:
      // a certificate already allowed is tried again a few times, each a little later.
      if (errors == 0 && !host.empty() && !self->retrySource.Active() && self->certificateRetries < 3) {
        if (!triedBefore) {
          self->allowed.emplace_back(host, GObjectPtr<GTlsCertificate>::Ref(certificate));
          webkit_web_context_allow_tls_certificate_for_host(webkit_web_view_get_context(view), certificate,
                                                            host.c_str());
        }
        self->LoadAgainWhenIdle(url, 200 * self->certificateRetries++);
        return TRUE;
      }
    }
    self->retryUrl.clear();
    g_debug("certificate of %s refused (flags 0x%x)", url.c_str(),
            static_cast<unsigned>(errors));
    self->ShowErrorPage(url, CertificateProblem(errors, host), ErrorAdvice::Certificate);
    return TRUE;
  }

  // The page's process ended (it crashed or ran out of memory): say so with the error page
  // instead of leaving the pane blank, and offer to load the page again.
  static void OnProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    const char* uri = webkit_web_view_get_uri(view);
    self->ShowErrorPage(uri ? uri : "", "The web engine stopped while showing this page.", ErrorAdvice::Reload);
  }

  static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    bool cancel = false;
    if (self->owner->NewWindow) self->owner->NewWindow(uri ? uri : "", cancel);
    return nullptr;
  }

  static void OnMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer data) {
    auto* self = static_cast<Impl*>(data);
    const ScriptValue m = ToScriptValue(webkit_javascript_result_get_js_value(result));
    if (m["kind"].Str() == "pressed") {
      if (self->keys) self->keys->PageSawPress();
      return;
    }
    const auto path = ToFramePath(m["path"]);
    if (!path) return;
    const std::string kind = m["kind"].Str();
    if (kind == "navigated" || kind == "loaded") {
      if (path->empty()) return;  // the main document's moments come from the engine itself
      self->topHasFrames = true;
      if (kind == "navigated") {
        if (self->owner->NavigateComplete) self->owner->NavigateComplete(*path, m["url"].Str());
      } else if (self->owner->DocumentComplete) {
        self->owner->DocumentComplete(*path, m["url"].Str());
      }
    } else if (kind == "event") {
      DocumentEvent e;
      e.frame = *path;
      e.type = m["type"].Str();
      e.keyCode = m["keyCode"].Int();
      e.ctrlKey = m["ctrlKey"].Bool();
      e.shiftKey = m["shiftKey"].Bool();
      e.load = m["load"].Int();
      e.x = m["x"].Int();
      e.y = m["y"].Int();
      e.hasText = m["hasText"].Bool();
      if (auto active = DescribedElement(m["active"].Str())) {
        e.hasActive = true;
        e.active = std::move(*active);
      }
      self->events.Post(std::move(e));
    }
  }

  static void OnBackForwardChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer,
                                   gpointer data) {
    static_cast<Impl*>(data)->ReportCommandState();
  }
};

WebView::WebView(const Options& options) : impl_(std::make_unique<Impl>()) {
  impl_->owner = this;
  impl_->ownCopies = options.fileAccess;
  impl_->content = GObjectPtr<WebKitUserContentManager>(webkit_user_content_manager_new());
  WebKitUserContentManager* ucm = impl_->content.get();
  webkit_user_content_manager_register_script_message_handler_in_world(ucm, kRuntimeChannel,
                                                                       kRuntimeWorld);
  const std::string source(InPageRuntimeSource());
  std::unique_ptr<WebKitUserScript, decltype(&webkit_user_script_unref)> script(
      webkit_user_script_new_for_world(source.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                       WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kRuntimeWorld, nullptr, nullptr),
      webkit_user_script_unref);
  webkit_user_content_manager_add_script(ucm, script.get());

  GObjectPtr<WebKitSettings> settingsPtr(webkit_settings_new_with_settings(
      "enable-developer-extras", FALSE, "javascript-can-open-windows-automatically", FALSE,
      "enable-write-console-messages-to-stdout", FALSE, "enable-back-forward-navigation-gestures", FALSE,
      nullptr));
  WebKitSettings* settings = settingsPtr.get();
  if (options.fileAccess) {
    webkit_settings_set_allow_file_access_from_file_urls(settings, TRUE);
    webkit_settings_set_allow_universal_access_from_file_urls(settings, TRUE);
  }
  if (options.clipboardAccess) webkit_settings_set_javascript_can_access_clipboard(settings, TRUE);

  // A policy rather than the setting that strips script markup: that setting also drops
  // event-handler attributes and javascript: addresses while parsing, which an edited span
  // would then publish without. The policy leaves the document whole and stops only the
  // page's scripts; the runtime's user script and evaluations bypass it.
  const char* policy = options.pageScripts ? nullptr : "script-src 'none'";
  impl_->view = GObjectPtr<WebKitWebView>::Sink(WEBKIT_WEB_VIEW(
      g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", SharedContext(), "user-content-manager", ucm,
                   "settings", settings, "default-content-security-policy", policy, nullptr)));
  WebKitWebView* view = impl_->view.get();
  Impl* impl = impl_.get();
  impl->keys = std::make_unique<KeysAfterClick>(GTK_WIDGET(view));
  SignalConnections& signals = impl->signals;
  signals.Connect(ucm, "script-message-received::pq", G_CALLBACK(Impl::OnMessage), impl);
  signals.Connect(view, "decide-policy", G_CALLBACK(Impl::OnDecidePolicy), impl);
  signals.Connect(view, "load-changed", G_CALLBACK(Impl::OnLoadChanged), impl);
  signals.Connect(view, "load-failed", G_CALLBACK(Impl::OnLoadFailed), impl);
  signals.Connect(view, "load-failed-with-tls-errors", G_CALLBACK(Impl::OnTlsErrors), impl);
  signals.Connect(view, "create", G_CALLBACK(Impl::OnCreate), impl);
  signals.Connect(view, "web-process-terminated", G_CALLBACK(Impl::OnProcessTerminated), impl);
  signals.Connect(webkit_web_view_get_back_forward_list(view), "changed", G_CALLBACK(Impl::OnBackForwardChanged),
                  impl);
}

WebView::~WebView() = default;

GtkWidget* WebView::Widget() const { return GTK_WIDGET(impl_->view.get()); }

void WebView::Navigate(const std::string& url) {
  impl_->ownRequest = true;
  impl_->cancelRetriedUrl.clear();
  impl_->errorPageUrl.clear();
  const bool ownCopy = impl_->ownCopies && StartsWithNoCase(url, std::string(kCopyScheme) + ":");
  if (!ownCopy && !IsOpenableAddress(url)) {
    impl_->ShowErrorPage(url, kOnlyWebPages, ErrorAdvice::CheckAddress);
    return;
  }
  webkit_web_view_load_uri(impl_->view.get(), url.c_str());
}

void WebView::GoHome() {
  if (!home_.empty()) Navigate(home_);
}

void WebView::GoBack() {
  impl_->errorPageUrl.clear();
  webkit_web_view_go_back(impl_->view.get());
}
void WebView::GoForward() {
  impl_->errorPageUrl.clear();
  webkit_web_view_go_forward(impl_->view.get());
}
void WebView::Refresh() {
  impl_->errorPageUrl.clear();
  webkit_web_view_reload(impl_->view.get());
}
void WebView::ReloadReadingUndeclaredAs(const std::string& charset) {
  WebKitSettings* settings = webkit_web_view_get_settings(impl_->view.get());
  if (impl_->charsetLoad == Impl::CharsetLoad::None)
    impl_->savedDefaultCharset = webkit_settings_get_default_charset(settings);
  webkit_settings_set_default_charset(settings, charset.c_str());
  impl_->charsetLoad = Impl::CharsetLoad::Asked;
  impl_->ownRequest = true;
  Refresh();
}

std::string WebView::DocumentCharset() {
  const auto v = Evaluate("document.characterSet");
  return v ? v->Str() : "";
}

void WebView::RefreshBypassingCache() {
  impl_->errorPageUrl.clear();
  webkit_web_view_reload_bypass_cache(impl_->view.get());
}
void WebView::Stop() { webkit_web_view_stop_loading(impl_->view.get()); }

std::string WebView::LocationURL() const {
  const char* uri = webkit_web_view_get_uri(impl_->view.get());
  return uri ? uri : "";
}
bool WebView::Busy() const { return webkit_web_view_is_loading(impl_->view.get()); }
bool WebView::CanGoBack() const { return webkit_web_view_can_go_back(impl_->view.get()); }
bool WebView::CanGoForward() const { return webkit_web_view_can_go_forward(impl_->view.get()); }

void WebView::TerminateEngineProcess() { webkit_web_view_terminate_web_process(impl_->view.get()); }

void WebView::ClearCache() {
  WebKitWebsiteDataManager* data = webkit_web_view_get_website_data_manager(impl_->view.get());
  if (data) {
    webkit_website_data_manager_clear(
        data, static_cast<WebKitWebsiteDataTypes>(WEBKIT_WEBSITE_DATA_MEMORY_CACHE | WEBKIT_WEBSITE_DATA_DISK_CACHE),
        0, nullptr, nullptr, nullptr);
  }
}

std::optional<ScriptValue> WebView::Evaluate(const std::string& script, bool pageWorld,
                                             std::chrono::milliseconds timeout) {
  auto state = Run(impl_->view.get(), impl_->cancellable.get(), stats_, script, pageWorld, timeout);
  if (!state->ok) return std::nullopt;
  return std::move(state->value);
}

std::optional<ScriptValue> WebView::CallRuntime(const std::string& operation, const std::string& arguments,
                                                std::chrono::milliseconds timeout) {
  // The runtime is installed in every document at its start; only a document that was there
  // before (the view's first, empty one) gets it with the call.
  WebKitWebView* view = impl_->view.get();
  GCancellable* cancellable = impl_->cancellable.get();
  auto state = Run(view, cancellable, stats_, RuntimeCall(operation, arguments), false, timeout);
  if (state->runtimeMissing)
    state = Run(view, cancellable, stats_, RuntimeInstallAndCall(operation, arguments), false, timeout);
  if (!state->ok) {
    g_debug("the runtime call %s gave no answer", operation.c_str());
    return std::nullopt;
  }
  return std::move(state->value);
}

int EngineVersion() {
  return static_cast<int>(webkit_get_major_version() * 100 + webkit_get_minor_version());
}

}  // namespace pq::engine
