#include "shell/widgets/notices_dialogs.h"

#include "publishing/widgets/modal_dialog.h"
#include "skin/widgets/image_form.h"

namespace pq {

namespace {
enum Response { kYes = 1, kNo = 2, kOk = 3 };

GtkWidget* NoticeImage(const char* picture, GtkWindow* parent) {
  const int scale = parent ? gtk_widget_get_scale_factor(GTK_WIDGET(parent)) : 1;
  cairo_surface_t* s = skin::ImageForm::Default().Surface(picture, scale);
  return s ? gtk_image_new_from_surface(s) : gtk_image_new();
}

GtkWidget* WrappedLabel(const char* text) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 46);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  return label;
}

// A notice's frame: picture on the left, texts and check box on the right.
engine::ToplevelPtr NewNotice(GtkWindow* parent, const char* caption, const char* picture,
                              GtkWidget** textColumn) {
  engine::ToplevelPtr owned(gtk_dialog_new());
  GtkWidget* dialog = owned.get();
  gtk_window_set_title(GTK_WINDOW(dialog), caption);
  MakeModal(GTK_WINDOW(dialog), parent);
  GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 16);
  gtk_container_set_border_width(GTK_CONTAINER(row), 14);
  GtkWidget* image = NoticeImage(picture, parent);
  gtk_widget_set_valign(image, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
  *textColumn = gtk_box_new(GTK_ORIENTATION_VERTICAL, 10);
  gtk_box_pack_start(GTK_BOX(row), *textColumn, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(area), row, TRUE, TRUE, 0);
  return owned;
}

NoticeReply RunNotice(GtkWidget* dialog, GtkWidget* check, bool boxTicked, int yesResponse) {
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), boxTicked);
  gtk_widget_show_all(dialog);
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_hide(dialog);
  NoticeReply reply;
  reply.dontShowAgain = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(check));
  reply.yes = response == yesResponse;
  reply.closedWithoutButton = response != kYes && response != kNo && response != kOk;
  return reply;
}
}  // namespace

LinkChangeFrm::LinkChangeFrm(GtkWindow* parent) {
  GtkWidget* column = nullptr;
  dialog_ = NewNotice(parent, "Link Amended", "NoticeLink", &column);
  GtkWidget* label1 = WrappedLabel(
      "You have changed the text within a link. There may be other pages within your website "
      "which contain the same link.");
  GtkWidget* label2 = WrappedLabel("Are you sure you wish to change the link text ?");
  Check1 = gtk_check_button_new_with_label("In the future, do not show this message.");
  gtk_box_pack_start(GTK_BOX(column), label1, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), label2, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), Check1, FALSE, FALSE, 4);
  YesButton = gtk_dialog_add_button(GTK_DIALOG(dialog_.get()), "Yes", kYes);
  NoButton = gtk_dialog_add_button(GTK_DIALOG(dialog_.get()), "No", kNo);
  gtk_widget_set_name(YesButton, "YesButton");
  gtk_widget_set_name(NoButton, "NoButton");
  gtk_dialog_set_default_response(GTK_DIALOG(dialog_.get()), kYes);
}

NoticeReply LinkChangeFrm::Run(bool boxTicked) {
  AcceptChanges = true;
  NoticeReply reply = RunNotice(dialog_.get(), Check1, boxTicked, kYes);
  if (!reply.closedWithoutButton) AcceptChanges = reply.yes;
  reply.yes = AcceptChanges;
  return reply;
}

LayoutMsgForm::LayoutMsgForm(GtkWindow* parent) {
  GtkWidget* column = nullptr;
  dialog_ = NewNotice(parent, "Layout may differ", "NoticeLayout", &column);
  GtkWidget* label1 = WrappedLabel(
      "The page layout may look slightly different on the edit tab. Click \"Preview\" "
      "to see how the page will appear once published.");
  Check1 = gtk_check_button_new_with_label("In the future, do not show this message");
  gtk_box_pack_start(GTK_BOX(column), label1, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(column), Check1, FALSE, FALSE, 4);
  OkButton = gtk_dialog_add_button(GTK_DIALOG(dialog_.get()), "OK", kOk);
  gtk_widget_set_name(OkButton, "OkButton");
  gtk_dialog_set_default_response(GTK_DIALOG(dialog_.get()), kOk);
}

NoticeReply LayoutMsgForm::Run(bool boxTicked) {
  return RunNotice(dialog_.get(), Check1, boxTicked, kOk);
}

int AskLinkChange(Settings& settings, GtkWindow* parent) {
  return AskLinkChange(settings, [parent](bool ticked) {
    LinkChangeFrm form(parent);
    return form.Run(ticked);
  });
}

void ShowLayoutNotice(Settings& settings, GtkWindow* parent) {
  ShowLayoutNotice(settings, [parent](bool ticked) {
    LayoutMsgForm form(parent);
    return form.Run(ticked);
  });
}

}  // namespace pq
