#include "publishing/widgets/message_box.h"

namespace pq {

void ShowMessage(GtkWindow* parent, const std::string& title, const std::string& text,
                 MessageIcon icon) {
  GtkWidget* box = gtk_message_dialog_new(
      parent, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      icon == MessageIcon::CriticalStop ? GTK_MESSAGE_ERROR : GTK_MESSAGE_INFO, GTK_BUTTONS_NONE,
      "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(box), "OK", GTK_RESPONSE_OK);
  gtk_widget_set_name(ok, "OKButton");
  gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
  gtk_widget_grab_focus(ok);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}

bool AskQuestion(GtkWindow* parent, const std::string& title, const std::string& text,
                 const std::string& yes, const std::string& no) {
  GtkWidget* box = gtk_message_dialog_new(
      parent, GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  GtkWidget* noButton = gtk_dialog_add_button(GTK_DIALOG(box), no.c_str(), GTK_RESPONSE_NO);
  GtkWidget* yesButton = gtk_dialog_add_button(GTK_DIALOG(box), yes.c_str(), GTK_RESPONSE_YES);
  gtk_widget_set_name(noButton, "NoButton");
  gtk_widget_set_name(yesButton, "YesButton");
  gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_NO);
  gtk_widget_grab_focus(noButton);
  const int response = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  return response == GTK_RESPONSE_YES;
}

}  // namespace pq
