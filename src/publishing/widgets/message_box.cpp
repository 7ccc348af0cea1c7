#include "publishing/widgets/message_box.h"

#include "publishing/widgets/modal_dialog.h"

namespace pq {

GtkWidget* NewMessageBox(GtkWindow* parent, const std::string& title, const std::string& text, MessageIcon icon) {
  const GtkMessageType type = icon == MessageIcon::CriticalStop ? GTK_MESSAGE_ERROR
                              : icon == MessageIcon::Question   ? GTK_MESSAGE_QUESTION
                                                                : GTK_MESSAGE_INFO;
  GtkWidget* box = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, type, GTK_BUTTONS_NONE, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  MakeModal(GTK_WINDOW(box), parent);
  // The toolkit no longer draws the kind's icon by itself: it goes before the text, where the
  // message box keeps room for it.
  const char* iconName = type == GTK_MESSAGE_ERROR      ? "dialog-error"
                         : type == GTK_MESSAGE_QUESTION ? "dialog-question"
                                                        : "dialog-information";
  GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box));
  GtkWidget* row = gtk_widget_get_parent(area);
  if (GTK_IS_BOX(row)) {
    GtkWidget* image = gtk_image_new_from_icon_name(iconName, GTK_ICON_SIZE_DIALOG);
    gtk_widget_set_name(image, "MessageIcon");
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(row), image, 0);
    gtk_widget_show(image);
  }
  return box;
}

void ShowMessage(GtkWindow* parent, const std::string& title, const std::string& text,
                 MessageIcon icon) {
  GtkWidget* box = NewMessageBox(parent, title, text, icon);
  GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(box), "OK", GTK_RESPONSE_OK);
  gtk_widget_set_name(ok, "OKButton");
  gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
  gtk_widget_grab_focus(ok);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}

bool AskQuestion(GtkWindow* parent, const std::string& title, const std::string& text,
                 const std::string& yes, const std::string& no) {
  GtkWidget* box = NewMessageBox(parent, title, text, MessageIcon::Question);
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
