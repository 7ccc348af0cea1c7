#pragma once
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/gobject_ptr.h"
#include "engine/signal_connection.h"
#include "publishing/publish_host.h"

namespace pq {

class Publish;

// The form that asks for the site's password and starts the publication. It offers the
// password remembered for the site, can ask the site script to e-mail a forgotten one, shows
// what went wrong after a failed attempt and stays for another, and after a success remembers
// (or forgets) the password and hands over to the main window's PublishComplete.
class Password {
 public:
  Password(GtkWindow* parent, PublishHost& host);
  ~Password();
  Password(const Password&) = delete;
  Password& operator=(const Password&) = delete;

  enum class Result { Published, Cancelled };
  // Shows the form modally until a publication succeeds or the user cancels.
  Result Run();
  // The publish form reports a refusal here; "" after success.
  void SetErrorMessage(const std::string& ErrMsg) { errorMessage_ = ErrMsg; }

  // Called with each Publish form before it runs (tests watch the attempt through it).
  std::function<void(Publish&)> PublishStarting;

  // Another request of the site script instead of a publication: OK runs it with the password
  // typed. Accepted, the password is remembered (or forgotten) as after a publication and Run
  // answers Published; refused, the error is shown and the form stays for another try, unless
  // `closeForm` ends it (Run answers Cancelled, the caller tells why).
  struct RequestOutcome {
    bool accepted = false;
    bool closeForm = false;
    std::string error;
  };
  std::function<RequestOutcome(const std::string& password)> SiteRequest;

  GtkWindow* Window() const { return GTK_WINDOW(dialog_.get()); }
  GtkWidget* Label1 = nullptr;
  GtkWidget* Label2 = nullptr;
  GtkWidget* PasswordBox = nullptr;
  GtkWidget* RememberCheckbox = nullptr;
  GtkWidget* LabelForgot = nullptr;
  GtkWidget* PicKey = nullptr;
  GtkWidget* OKButton = nullptr;
  GtkWidget* CancelButton = nullptr;

 private:
  bool PublishOnce();
  bool RequestOnce(bool& closeForm);
  void Forgotten();
  void CaretToEnd();
  static gboolean OnForgot(GtkLinkButton*, gpointer data);

  PublishHost& host_;
  engine::GObjectPtr<GtkWidget> dialog_;
  engine::SignalConnections signals_;
  std::string siteRoot_;
  std::string errorMessage_;
  bool reloading_ = false;
  std::vector<std::string> stored_;  // the files stored by the last publication
};

}  // namespace pq
