#include "publishing/widgets/problems_dialog.h"

#include <gtk/gtk.h>

#include "core/data_folder.h"
#include "publishing/widgets/message_box.h"
#include "publishing/widgets/modal_dialog.h"

namespace pq {

namespace {

constexpr int kWidth = 460;
constexpr int kPictureSize = 48;
constexpr int kOk = 1;

const char* PictureName(ProblemNotice notice) {
  switch (notice) {
    case ProblemNotice::PageUnsuitable: return "NoticePageUnsuitable";
    case ProblemNotice::NotSetUp: return "NoticeNotSetUp";
    case ProblemNotice::PartUnsuitable: return "NoticePartUnsuitable";
  }
  return "";
}

GtkWidget* Picture(const std::string& name, GtkWindow* parent) {
  GtkWidget* image = PublishingPicture(name, parent, kPictureSize);
  gtk_widget_set_size_request(image, kPictureSize, kPictureSize);
  gtk_widget_set_valign(image, GTK_ALIGN_START);
  return image;
}

GtkWidget* Label(const std::string& text, bool bold) {
  GtkWidget* label = gtk_label_new(nullptr);
  if (bold) {
    char* markup = g_markup_printf_escaped("<b>%s</b>", text.c_str());
    gtk_label_set_markup(GTK_LABEL(label), markup);
    g_free(markup);
  } else {
    gtk_label_set_text(GTK_LABEL(label), text.c_str());
  }
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(label), 48);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  return label;
}

constexpr const char* kNoticeKey = "pq-notice";

gboolean OnMoreInfo(GtkLabel* label, gchar*, gpointer dialog) {
  const int notice = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(label), kNoticeKey));
  static_cast<ProblemsDialog*>(dialog)->ShowMoreInfo(static_cast<ProblemNotice>(notice));
  return TRUE;  // nothing else opens the link
}

}  // namespace

std::string SettingUpHelpAddress() {
  return "file://" + DataFolder() + "/help/setting-up-publishing.htm";
}

ProblemsDialog::ProblemsDialog(const Problems& problems, GtkWindow* parent)
    : problems_(problems), dialog_(NewModalDialog("Publishing", parent)) {

  // The notices stand where the decisions placed them; the button below the last one.
  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, kWidth, problems_.ContentHeight());
  for (const auto& placed : problems_.Notices()) {
    const ProblemNoticeText text = problems_.Text(placed.notice);
    GtkWidget* frame = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 14);
    gtk_widget_set_size_request(frame, kWidth - 24, Problems::kNoticeHeight);
    gtk_box_pack_start(GTK_BOX(frame), Picture(PictureName(placed.notice), parent), FALSE, FALSE, 0);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_box_pack_start(GTK_BOX(column), Label(text.heading, true), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), Label(text.text, false), FALSE, FALSE, 0);
    GtkWidget* more = gtk_label_new(nullptr);
    char* markup = g_markup_printf_escaped("<a href=\"more-info\">%s</a>", text.moreInfoLabel.c_str());
    gtk_label_set_markup(GTK_LABEL(more), markup);
    g_free(markup);
    gtk_label_set_xalign(GTK_LABEL(more), 0);
    g_object_set_data(G_OBJECT(more), kNoticeKey, GINT_TO_POINTER(static_cast<int>(placed.notice)));
    signals_.Connect(more, "activate-link", G_CALLBACK(OnMoreInfo), this);
    MoreInfoLinks.push_back(more);
    gtk_box_pack_start(GTK_BOX(column), more, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(frame), column, TRUE, TRUE, 0);
    gtk_fixed_put(GTK_FIXED(fixed), frame, 12, placed.top);
  }
  OKbutton = gtk_button_new_with_label("OK");
  gtk_widget_set_name(OKbutton, "OKbutton");
  gtk_widget_set_size_request(OKbutton, 96, Problems::kButtonHeight);
  signals_.Connect(OKbutton, "clicked",
                   G_CALLBACK(+[](GtkButton*, gpointer d) { gtk_dialog_response(GTK_DIALOG(d), kOk); }),
                   dialog_.get());
  gtk_fixed_put(GTK_FIXED(fixed), OKbutton, (kWidth - 96) / 2, problems_.OkButtonTop());
  GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(dialog_.get()));
  gtk_container_set_border_width(GTK_CONTAINER(area), 8);
  gtk_box_pack_start(GTK_BOX(area), fixed, TRUE, TRUE, 0);
}

ProblemsDialog::~ProblemsDialog() = default;

void ProblemsDialog::Run() { RunModal(dialog_.get(), OKbutton); }

void ProblemsDialog::ShowMoreInfo(ProblemNotice notice) {
  const ProblemNoticeText text = problems_.Text(notice);
  GtkWidget* box = NewMessageBox(GTK_WINDOW(dialog_.get()), text.moreInfoTitle, text.moreInfoMessage, MessageIcon::Information);
  gtk_widget_set_name(gtk_dialog_add_button(GTK_DIALOG(box), "OK", GTK_RESPONSE_OK), "OKButton");
  constexpr int kOpenHelp = 1;
  const bool offerHelp = OpenHelp && !text.moreInfoHelp.empty();
  if (offerHelp) {
    GtkWidget* open = gtk_dialog_add_button(GTK_DIALOG(box), "Open Help", kOpenHelp);
    gtk_widget_set_name(open, "OpenHelpButton");
  }
  const int response = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  if (offerHelp && response == kOpenHelp) OpenHelp(text.moreInfoHelp);
}

}  // namespace pq
