#pragma once
#include <array>
#include <functional>

#include "editor/editing_page.h"
#include "engine/source_id.h"

typedef struct _GtkWidget GtkWidget;

namespace pq {

namespace engine {
class WebView;
}
class EditMenu;

// The editing logic's page: the edit pane's web view and its in-page runtime, the GTK
// clipboard, the "Link Deleted" message, the right-click menu and main-loop timers.
class WebViewEditingPage : public EditingPage {
 public:
  WebViewEditingPage(engine::WebView& view, EditMenu& menu);
  ~WebViewEditingPage() override;
  WebViewEditingPage(const WebViewEditingPage&) = delete;
  WebViewEditingPage& operator=(const WebViewEditingPage&) = delete;

  // Runs when an armed timer fires (EditSession::TimerFired).
  std::function<void(EditTimer)> TimerFired;
  // The link-change notice over the settings (0 off, 1 keep, 2 restore); unset: keep.
  std::function<int()> AskLinkChangeNotice;

  std::optional<SpanContents> ReadElement(const DocumentIdentity& doc, const std::string& id) override;
  std::optional<std::string> ReadHtml(const DocumentIdentity& doc, const std::string& id) override;
  bool SetElement(const DocumentIdentity& doc, const std::string& id, const std::string& property,
                  const std::string& value) override;
  std::optional<LinkContents> ReadLink(const DocumentIdentity& doc, const std::string& anchorSpanId) override;
  bool WriteLink(const DocumentIdentity& doc, const std::string& anchorSpanId, const std::string& html) override;
  bool FocusLink(const DocumentIdentity& doc, const std::string& anchorSpanId) override;
  bool ActiveIsEditable(const DocumentIdentity& doc) override;
  bool FocusActive(const DocumentIdentity& doc) override;
  bool ExecCommand(const DocumentIdentity& doc, const std::string& command) override;
  void RunEngineCommand(EngineCommand command) override;
  void CollapseSelection(const DocumentIdentity& doc) override;
  std::optional<std::string> ClipboardText() override;
  void PutHTMLClipboard(const std::string& fragment, const std::string& prefix, const std::string& suffix,
                        const std::string& plainText) override;
  void ShowLinkDeleted() override;
  int AskLinkChange() override;
  void ShowMenu(const DocumentIdentity& doc, int x, int y) override;
  void ArmTimer(EditTimer timer, std::chrono::milliseconds after) override;

 private:
  struct Armed {
    WebViewEditingPage* owner = nullptr;
    EditTimer timer{};
    engine::SourceId source;
  };
  engine::WebView& view_;
  EditMenu& menu_;
  std::array<Armed, 3> timers_;
};

}  // namespace pq
