#include "editor/widgets/web_view_editing_page.h"

#include <gtk/gtk.h>

#include "editor/widgets/edit_menu.h"
#include "engine/clipboard.h"
#include "engine/editing_commands.h"
#include "engine/in_page_runtime.h"
#include "engine/web_view.h"
#include "publishing/widgets/message_box.h"

namespace pq {

namespace {

std::string Args(const DocumentIdentity& doc) { return FramePathLiteral(doc.frame); }
std::string Args(const DocumentIdentity& doc, const std::string& id) {
  return FramePathLiteral(doc.frame) + "," + engine::JsString(id);
}

}  // namespace

WebViewEditingPage::WebViewEditingPage(engine::WebView& view, EditMenu& menu) : view_(view), menu_(menu) {
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    timers_[i].owner = this;
    timers_[i].timer = static_cast<EditTimer>(i);
  }
}

WebViewEditingPage::~WebViewEditingPage() = default;

std::optional<SpanContents> WebViewEditingPage::ReadElement(const DocumentIdentity& doc, const std::string& id) {
  const std::optional<ElementInfo> e = view_.ElementById(doc.frame, id);
  if (!e) return std::nullopt;
  return SpanContents{e->html, e->text};
}

std::optional<std::string> WebViewEditingPage::ReadHtml(const DocumentIdentity& doc, const std::string& id) {
  const auto v = view_.CallRuntime("htmlById", Args(doc, id));
  if (!v || v->kind != engine::ScriptValue::Kind::String) return std::nullopt;
  return v->Str();
}

bool WebViewEditingPage::SetElement(const DocumentIdentity& doc, const std::string& id,
                                    const std::string& property, const std::string& value) {
  return view_.SetElementById(doc.frame, id, property, value);
}

std::optional<LinkContents> WebViewEditingPage::ReadLink(const DocumentIdentity& doc, const std::string& id) {
  const auto v = view_.CallRuntime("link", Args(doc, id));
  if (!v || v->kind != engine::ScriptValue::Kind::Object) return std::nullopt;
  return LinkContents{(*v)["text"].Str(), (*v)["html"].Str()};
}

bool WebViewEditingPage::WriteLink(const DocumentIdentity& doc, const std::string& id, const std::string& html) {
  const auto v = view_.CallRuntime("setLink", Args(doc, id) + "," + engine::JsString(html));
  return v && v->Bool();
}

bool WebViewEditingPage::FocusLink(const DocumentIdentity& doc, const std::string& id) {
  gtk_widget_grab_focus(view_.Widget());
  const auto v = view_.CallRuntime("focusLink", Args(doc, id));
  return v && v->Bool();
}

bool WebViewEditingPage::ActiveIsEditable(const DocumentIdentity& doc) {
  const auto v = view_.CallRuntime("activeEditable", Args(doc));
  return v && v->Bool();
}

bool WebViewEditingPage::FocusActive(const DocumentIdentity& doc) {
  // Only a pane on screen takes the focus (ActivateBox also runs while the Browse tab shows).
  if (!gtk_widget_is_visible(view_.Widget()) || !gtk_widget_get_mapped(view_.Widget())) return false;
  gtk_widget_grab_focus(view_.Widget());
  const auto v = view_.CallRuntime("focusActive", Args(doc));
  return v && v->Bool();
}

bool WebViewEditingPage::ExecCommand(const DocumentIdentity& doc, const std::string& command) {
  return view_.ExecCommand(doc.frame, command);
}

void WebViewEditingPage::RunEngineCommand(EngineCommand command) {
  engine::RunEditingCommand(view_, command == EngineCommand::kCut    ? engine::EditingCommand::kCut
                                   : command == EngineCommand::kCopy ? engine::EditingCommand::kCopy
                                                                     : engine::EditingCommand::kPaste);
}

void WebViewEditingPage::CollapseSelection(const DocumentIdentity& doc) { view_.CallRuntime("collapse", Args(doc)); }

std::optional<std::string> WebViewEditingPage::ClipboardText() { return engine::ClipboardText(); }

void WebViewEditingPage::PutHTMLClipboard(const std::string& fragment, const std::string& prefix,
                                          const std::string& suffix, const std::string& plainText) {
  engine::PutHTMLClipboard(fragment, prefix, suffix, plainText);
}

void WebViewEditingPage::ShowLinkDeleted() {
  GtkWidget* top = gtk_widget_get_toplevel(view_.Widget());
  GtkWindow* parent = GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr;
  ShowMessage(parent, kLinkDeletedTitle, kLinkDeletedText, MessageIcon::CriticalStop);
}

int WebViewEditingPage::AskLinkChange() { return AskLinkChangeNotice ? AskLinkChangeNotice() : 1; }

void WebViewEditingPage::ShowMenu(const DocumentIdentity& doc, int x, int y) {
  if (!doc.frame.empty()) {
    const auto offset = view_.CallRuntime("frameOffset", Args(doc));
    if (offset) {
      x += (*offset)["x"].Int();
      y += (*offset)["y"].Int();
    }
  }
  menu_.Popup(view_.Widget(), x, y);
}

void WebViewEditingPage::ArmTimer(EditTimer timer, std::chrono::milliseconds after) {
  Armed& t = timers_[static_cast<std::size_t>(timer)];
  t.source.StartTimeout(static_cast<guint>(after.count()), [](gpointer data) -> gboolean {
    auto* armed = static_cast<Armed*>(data);
    armed->source.Reset();  // the handler may arm it again
    if (armed->owner->TimerFired) armed->owner->TimerFired(armed->timer);
    return G_SOURCE_REMOVE;
  }, &t);
}

}  // namespace pq
