// The document operations of the web view: each one call of the in-page runtime.
#include "engine/in_page_runtime.h"
#include "engine/script_value_conversion.h"
#include "engine/web_view.h"

namespace pq::engine {

std::optional<DocumentSnapshot> WebView::Snapshot(const FramePath& frame) {
  auto v = CallRuntime("snapshot", FramePathLiteral(frame));
  if (!v || !(*v)["ok"].Bool()) return std::nullopt;
  return ToSnapshot(*v, 0);
}

std::string WebView::OuterHTML(const FramePath& frame) {
  auto v = CallRuntime("outerHTML", FramePathLiteral(frame));
  return v ? v->Str() : "";
}

int WebView::FrameCount(const FramePath& frame) {
  auto v = CallRuntime("frameCount", FramePathLiteral(frame));
  return v ? v->Int() : 0;
}

std::optional<std::string> WebView::FrameLocation(const FramePath& frame) {
  auto v = CallRuntime("location", FramePathLiteral(frame));
  if (!v || v->kind != ScriptValue::Kind::String) return std::nullopt;
  return v->Str();
}

bool WebView::NavigateFrame(const FramePath& frame, const std::string& url) {
  if (frame.empty()) {
    Navigate(url);
    return true;
  }
  auto v = CallRuntime("navigateFrame", FramePathLiteral(frame) + "," + JsString(url));
  return v && v->Bool();
}

std::vector<ElementInfo> WebView::Elements(const FramePath& frame, const std::vector<std::string>& fields) {
  std::string list = "[";
  for (std::size_t i = 0; i < fields.size(); ++i) list += (i ? "," : "") + JsString(fields[i]);
  list += "]";
  std::vector<ElementInfo> out;
  auto v = CallRuntime("elements", FramePathLiteral(frame) + "," + list);
  if (!v) return out;
  out.reserve(v->size());
  for (const auto& item : v->items) out.push_back(ToElement(item));
  return out;
}

int WebView::ApplyChanges(const FramePath& frame, const std::vector<ElementChange>& changes) {
  if (changes.empty()) return 0;
  std::string list = "[";
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const auto& c = changes[i];
    if (i) list += ',';
    list += "[" + std::to_string(c.index) + "," + JsString(c.property) + "," + JsString(c.value) + "]";
  }
  list += "]";
  auto v = CallRuntime("apply", FramePathLiteral(frame) + "," + list);
  return v ? v->Int() : 0;
}

std::optional<ElementInfo> WebView::ElementById(const FramePath& frame, const std::string& id) {
  auto v = CallRuntime("byId", FramePathLiteral(frame) + "," + JsString(id));
  if (!v || v->kind != ScriptValue::Kind::Object) return std::nullopt;
  return ToElement(*v);
}

bool WebView::SetElementById(const FramePath& frame, const std::string& id, const std::string& property,
                             const std::string& value) {
  auto v = CallRuntime("setById",
                       FramePathLiteral(frame) + "," + JsString(id) + "," + JsString(property) + "," + JsString(value));
  return v && v->Bool();
}

std::optional<ElementInfo> WebView::ActiveElement(const FramePath& frame) {
  auto v = CallRuntime("active", FramePathLiteral(frame));
  if (!v || v->kind != ScriptValue::Kind::Object) return std::nullopt;
  return ToElement(*v);
}

std::optional<SpanSnapshot> WebView::Spans(const FramePath& frame) {
  auto v = CallRuntime("spans", FramePathLiteral(frame));
  if (!v || v->kind != ScriptValue::Kind::Object) return std::nullopt;
  SpanSnapshot spans;
  for (const auto& [id, e] : v->fields) {
    auto& element = spans.elements[id];
    element.innerHTML = e["html"].Str();
    for (const auto& link : e["links"].items) element.editableLinks.push_back(link.Str());
  }
  return spans;
}

std::string WebView::SelectionText(const FramePath& frame) {
  auto v = CallRuntime("selectionText", FramePathLiteral(frame));
  return v ? v->Str() : "";
}

bool WebView::ExecCommand(const FramePath& frame, const std::string& command, const std::string& value) {
  auto v = CallRuntime("exec", FramePathLiteral(frame) + "," + JsString(command) + "," + JsString(value));
  return v && v->Bool();
}

bool WebView::AddStyleSheet(const FramePath& frame, const std::string& css) {
  auto v = CallRuntime("addStyle", FramePathLiteral(frame) + "," + JsString(css));
  return v && v->Bool();
}

bool WebView::SubmitForm(const FramePath& frame, int index) {
  auto v = CallRuntime("submitForm", FramePathLiteral(frame) + "," + std::to_string(index));
  return v && v->Bool();
}

bool WebView::HookDocumentEvents(const FramePath& frame, const std::vector<CtrlKeyPass>& passed) {
  std::string keys = "[";
  for (const CtrlKeyPass& k : passed) {
    if (keys.size() > 1) keys += ",";
    keys += "[" + std::to_string(k.keyCode) + (k.withShift ? ",true]" : ",false]");
  }
  keys += "]";
  auto v = CallRuntime("hook", FramePathLiteral(frame) + "," + keys);
  return v && v->Bool();
}

}  // namespace pq::engine
