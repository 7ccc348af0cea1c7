#pragma once
#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <string>

#include "engine/form_post.h"
#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "engine/web_view.h"
#include "publishing/pass_key.h"
#include "publishing/publish_flow.h"
#include "publishing/publish_host.h"
#include "publishing/widgets/animation.h"

namespace pq {

enum class PublishStateValue { Idle, Publishing };

// The form that carries out one publication attempt: it sends every changed document of the
// page with the password proof, reloads the page, and closes itself. It stays on screen for at
// least six seconds after a success; a failure closes it at once.
class Publish {
 public:
  Publish(GtkWindow* parent, PublishHost& host);
  ~Publish();
  Publish(const Publish&) = delete;
  Publish& operator=(const Publish&) = delete;

  void SetPassword(const std::string& PasswordString) { password_ = PasswordString; }
  // Shows the form and runs the attempt; returns what went wrong, "" after success.
  std::string Run();
  // After Run: the page was changed on the website since it was opened; nothing was posted.
  bool Conflicted() const { return conflict_; }
  // The files ("file" fields) the site script stored in the last run.
  std::vector<std::string> StoredFiles() const;
  // After Run: the user cancelled before everything was stored.
  bool Cancelled() const { return attempt_ && attempt_->Cancelled(); }
  // There were changes to send but no password to send them with; nothing was posted.
  bool PasswordNeeded() const { return passwordNeeded_; }
  // The site script's pass key for this attempt.
  PassKey GetPassKey();

  // "Publishing" while the form waits for the browse pane's reload.
  PublishStateValue PublishState = PublishStateValue::Idle;

  // The form's widgets, named as they are in the form.
  GtkWidget* Label1 = nullptr;
  GtkWidget* CancelButton = nullptr;
  GtkWindow* Window() const { return GTK_WINDOW(dialog_.get()); }
  const Animation& Pictures() const { return *animation_; }

  static constexpr int kMinimumTicks = 25;  // 24 ticks of 250 ms after the form appears

 private:
  void SetUpIE();
  void ReloadPage(const std::string& origUrl);
  // The page at address as the website serves it now; nullopt when that cannot be told. While
  // publishing, a Cancel stops the check; after one, it has a short bound of its own.
  std::optional<std::string> PageNow(const std::string& address, bool afterCancel);
  static void OnCancel(GtkWidget*, gpointer data);
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data);

  PublishHost& host_;
  engine::GObjectPtr<GtkWidget> dialog_;
  std::unique_ptr<Animation> animation_;
  engine::WebView webBrowser_;
  engine::SubmitIEformCtrl submit_;
  engine::SignalConnections signals_;
  std::string password_;
  std::string siteRoot_;
  std::string errorText_;
  bool cancelled_ = false;
  bool conflict_ = false;
  bool passwordNeeded_ = false;
  std::optional<PublishAttempt> attempt_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace pq
