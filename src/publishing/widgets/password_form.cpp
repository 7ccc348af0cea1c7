#include "publishing/widgets/password_form.h"

#include "core/data_folder.h"
#include "pageprep/url_ops.h"
#include "publishing/forgotten_password.h"
#include "publishing/remembered_password.h"
#include "publishing/site_check.h"
#include "publishing/widgets/message_box.h"
#include "publishing/widgets/modal_dialog.h"
#include "publishing/widgets/publish_form.h"

namespace pq {

namespace {

enum Response { kOK = 1, kCancel = 2 };

constexpr const char* kConflictTitle = "Page Changed on the Website";

void Name(GtkWidget* widget, const char* name) {
  gtk_widget_set_name(widget, name);
}

}  // namespace

Password::Password(GtkWindow* parent, PublishHost& host)
    : host_(host), dialog_(engine::GObjectPtr<GtkWidget>::Sink(gtk_dialog_new())) {
  GtkWidget* d = dialog_.get();
  gtk_window_set_title(GTK_WINDOW(d), "Publish");
  Name(d, "Password");
  MakeModal(GTK_WINDOW(d), parent);

  GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(d));
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 16);
  gtk_container_set_border_width(GTK_CONTAINER(row), 16);
  const std::string key = DataFolder() + "/publishing/Key.svg";
  PicKey = gtk_image_new_from_file(key.c_str());
  gtk_widget_set_valign(PicKey, GTK_ALIGN_START);
  Name(PicKey, "PicKey");
  gtk_box_pack_start(GTK_BOX(row), PicKey, FALSE, FALSE, 0);

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  Label1 = gtk_label_new("");
  gtk_label_set_xalign(GTK_LABEL(Label1), 0);
  gtk_label_set_line_wrap(GTK_LABEL(Label1), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(Label1), 48);
  Name(Label1, "Label1");
  Label2 = gtk_label_new("Password");
  gtk_label_set_xalign(GTK_LABEL(Label2), 0);
  Name(Label2, "Label2");
  PasswordBox = gtk_entry_new();
  gtk_entry_set_visibility(GTK_ENTRY(PasswordBox), FALSE);
  gtk_entry_set_invisible_char(GTK_ENTRY(PasswordBox), '*');
  gtk_entry_set_activates_default(GTK_ENTRY(PasswordBox), TRUE);
  gtk_entry_set_width_chars(GTK_ENTRY(PasswordBox), 30);
  gtk_label_set_mnemonic_widget(GTK_LABEL(Label2), PasswordBox);
  Name(PasswordBox, "PasswordBox");
  RememberCheckbox = gtk_check_button_new_with_label("Remember Password");
  Name(RememberCheckbox, "RememberCheckbox");
  LabelForgot = gtk_link_button_new_with_label("", "I have forgotten my password");
  gtk_widget_set_halign(LabelForgot, GTK_ALIGN_START);
  Name(LabelForgot, "LabelForgot");
  signals_.Connect(LabelForgot, "activate-link", G_CALLBACK(&Password::OnForgot), this);
  for (GtkWidget* w : {Label1, Label2, PasswordBox, RememberCheckbox, LabelForgot})
    gtk_box_pack_start(GTK_BOX(column), w, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(row), column, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(area), row, TRUE, TRUE, 0);

  OKButton = gtk_dialog_add_button(GTK_DIALOG(d), "OK", kOK);
  CancelButton = gtk_dialog_add_button(GTK_DIALOG(d), "Cancel", kCancel);
  Name(OKButton, "OKButton");
  Name(CancelButton, "CancelButton");
  atk_object_set_name(gtk_widget_get_accessible(OKButton), "OK");
  atk_object_set_name(gtk_widget_get_accessible(CancelButton), "Cancel");
  atk_object_set_name(gtk_widget_get_accessible(PasswordBox), "Password");
  gtk_dialog_set_default_response(GTK_DIALOG(d), kOK);
}

Password::~Password() {
  signals_.DisconnectAll();
  gtk_widget_destroy(dialog_.get());
}

Password::Result Password::Run() {
  siteRoot_ = SiteRootOf(host_.CurrentOrigURL());
  errorMessage_.clear();
  reloading_ = false;
  gtk_label_set_text(GTK_LABEL(Label1), PasswordPrompt(siteRoot_).c_str());
  const std::string remembered = RememberedPassword(host_.UserSettings(), siteRoot_);
  gtk_entry_set_text(GTK_ENTRY(PasswordBox), remembered.c_str());
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(RememberCheckbox), !remembered.empty());
  gtk_widget_show_all(dialog_.get());
  gtk_widget_grab_focus(PasswordBox);
  CaretToEnd();
  for (;;) {
    const int response = gtk_dialog_run(GTK_DIALOG(dialog_.get()));
    if (response != kOK) break;
    if (SiteRequest) {
      bool closeForm = false;
      if (RequestOnce(closeForm)) {
        gtk_widget_hide(dialog_.get());
        return Result::Published;
      }
      if (closeForm) break;
      continue;
    }
    if (PublishOnce()) {
      gtk_widget_hide(dialog_.get());
      host_.PublishComplete(stored_);
      return Result::Published;
    }
    if (reloading_) break;  // the page is being reloaded with the user's edits
  }
  gtk_widget_hide(dialog_.get());
  return Result::Cancelled;
}

bool Password::PublishOnce() {
  const std::string password = gtk_entry_get_text(GTK_ENTRY(PasswordBox));
  bool conflict = false;
  bool passwordNeeded = false;
  bool cancelled = false;
  {
    Publish publish(GTK_WINDOW(dialog_.get()), host_);
    publish.SetPassword(password);
    if (PublishStarting) PublishStarting(publish);
    SetErrorMessage(publish.Run());
    conflict = publish.Conflicted();
    passwordNeeded = publish.PasswordNeeded();
    cancelled = publish.Cancelled();
    stored_ = publish.StoredFiles();
  }
  if (passwordNeeded) {
    ShowMessage(GTK_WINDOW(dialog_.get()), "Password Needed",
                "Type the password for your website, then press OK.", MessageIcon::Information);
    gtk_widget_grab_focus(PasswordBox);
    return false;
  }
  const std::string message = errorMessage_;
  if (conflict) {
    errorMessage_.clear();
    if (AskQuestion(GTK_WINDOW(dialog_.get()), kConflictTitle,
                    message + "\n\nReload shows the page as it is on the website now and puts "
                              "your changes back wherever that text is unchanged; any change "
                              "that cannot be put back is listed and copied to the clipboard. "
                              "Cancel keeps your changes as they are.",
                    "Reload", "Cancel")) {
      reloading_ = true;
      host_.ReloadKeepingEdits();
    }
    return false;
  }
  if (!errorMessage_.empty()) {
    // A cancel is the user's own choice: the message says what it left, not that it failed.
    if (cancelled)
      ShowMessage(GTK_WINDOW(dialog_.get()), "Publishing Cancelled", errorMessage_,
                  MessageIcon::Information);
    else
      ShowMessage(GTK_WINDOW(dialog_.get()), "Error", errorMessage_, MessageIcon::CriticalStop);
    errorMessage_.clear();
    gtk_widget_grab_focus(PasswordBox);
    // A wrong password is replaced by typing, never added to.
    gtk_editable_select_region(GTK_EDITABLE(PasswordBox), 0, -1);
    return false;
  }
  RememberAfterPublishing(host_.UserSettings(), siteRoot_, password,
                          gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(RememberCheckbox)));
  return true;
}

bool Password::RequestOnce(bool& closeForm) {
  const std::string password = gtk_entry_get_text(GTK_ENTRY(PasswordBox));
  if (password.empty()) {
    ShowMessage(GTK_WINDOW(dialog_.get()), "Password Needed",
                "Type the password for your website, then press OK.", MessageIcon::Information);
    gtk_widget_grab_focus(PasswordBox);
    return false;
  }
  GdkWindow* window = gtk_widget_get_window(dialog_.get());
  engine::GObjectPtr<GdkCursor> busy(
      gdk_cursor_new_for_display(gtk_widget_get_display(dialog_.get()), GDK_WATCH));
  if (window) gdk_window_set_cursor(window, busy.get());
  gtk_widget_set_sensitive(OKButton, FALSE);
  const RequestOutcome outcome = SiteRequest(password);
  gtk_widget_set_sensitive(OKButton, TRUE);
  if (window) gdk_window_set_cursor(window, nullptr);
  if (outcome.accepted) {
    RememberAfterPublishing(host_.UserSettings(), siteRoot_, password,
                            gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(RememberCheckbox)));
    return true;
  }
  closeForm = outcome.closeForm;
  if (closeForm) return false;
  ShowMessage(GTK_WINDOW(dialog_.get()), "Error", outcome.error, MessageIcon::CriticalStop);
  gtk_widget_grab_focus(PasswordBox);
  gtk_editable_select_region(GTK_EDITABLE(PasswordBox), 0, -1);
  return false;
}

void Password::CaretToEnd() {
  gtk_editable_select_region(GTK_EDITABLE(PasswordBox), -1, -1);
  gtk_editable_set_position(GTK_EDITABLE(PasswordBox), -1);
}

gboolean Password::OnForgot(GtkLinkButton*, gpointer data) {
  static_cast<Password*>(data)->Forgotten();
  return TRUE;  // the link has no address of its own
}

void Password::Forgotten() {
  const ForgottenPasswordNotice notice = ForgottenPassword(host_.PasswordEmailAllowed());
  if (notice.sendRequest) {
    GdkWindow* window = gtk_widget_get_window(dialog_.get());
    engine::GObjectPtr<GdkCursor> busy(
        gdk_cursor_new_for_display(gtk_widget_get_display(dialog_.get()), GDK_WATCH));
    if (window) gdk_window_set_cursor(window, busy.get());
    host_.Fetch(SiteScriptAddress(siteRoot_, "email"), {});  // the reply is not read
    if (window) gdk_window_set_cursor(window, nullptr);
  }
  ShowMessage(GTK_WINDOW(dialog_.get()), notice.title, notice.text, MessageIcon::Information);
}

}  // namespace pq
