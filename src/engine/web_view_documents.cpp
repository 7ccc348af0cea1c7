// The document operations of the web view: each one call of the in-page runtime. Whatever
// reads a document comes back packed (packed_records.h).
#include "engine/in_page_runtime.h"
#include "engine/packed_records.h"
#include "engine/web_view.h"

namespace pq::engine {

namespace {

std::string StringList(const std::vector<std::string>& items) {
  std::string list = "[";
  for (std::size_t i = 0; i < items.size(); ++i) list += (i ? "," : "") + JsString(items[i]);
  return list + "]";
}

std::string KeyList(const std::vector<CtrlKeyPass>& passed) {
  std::string keys = "[";
  for (const CtrlKeyPass& k : passed) {
    if (keys.size() > 1) keys += ",";
    keys += "[" + std::to_string(k.keyCode) + (k.withShift ? ",true]" : ",false]");
  }
  return keys + "]";
}

}  // namespace

std::optional<std::string> WebView::CallPacked(const std::string& operation, const std::string& arguments) {
  auto v = CallRuntime(operation, arguments);
  if (!v || v->kind != ScriptValue::Kind::String) return std::nullopt;
  return std::move(v->string);
}

std::optional<DocumentSnapshot> WebView::Snapshot(const FramePath& frame) {
  auto packed = CallPacked("snapshot", FramePathLiteral(frame));
  if (!packed) return std::nullopt;
  auto snapshot = SnapshotFromRecords(UnpackRecords(*packed));
  if (!snapshot || !snapshot->readable) return std::nullopt;
  return snapshot;
}

std::string WebView::MarkersAndMeta(const FramePath& frame) { return CallPacked("markersAndMeta", FramePathLiteral(frame)).value_or(""); }

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
  auto packed = CallPacked("elements", FramePathLiteral(frame) + "," + StringList(fields));
  if (!packed) return {};
  return ElementsFromRecords(UnpackRecords(*packed), fields);
}

// The batch goes as one string, split again in the page: a literal of tens of thousands of
// arrays takes the page's script engine a second to compile.
int WebView::ApplyChanges(const FramePath& frame, const std::vector<ElementChange>& changes) {
  if (changes.empty()) return 0;
  auto v = CallRuntime("apply", FramePathLiteral(frame) + "," + JsString(PackChanges(changes)));
  return v ? v->Int() : 0;
}

std::optional<ActivationRead> WebView::ReadForActivation(const FramePath& frame) {
  auto packed = CallPacked("activationRead", FramePathLiteral(frame));
  if (!packed) return std::nullopt;
  return ActivationReadFromRecords(UnpackRecords(*packed));
}

std::optional<SpanSnapshot> WebView::Activate(const FramePath& frame, const std::string& css,
                                              const std::vector<ElementChange>& changes,
                                              const std::vector<CtrlKeyPass>& passed) {
  auto packed = CallPacked("activate", FramePathLiteral(frame) + "," + JsString(css) + "," +
                                           JsString(PackChanges(changes)) + "," + KeyList(passed));
  if (!packed) return std::nullopt;
  return SpansFromRecords(UnpackRecords(*packed));
}

std::vector<std::optional<ActivationRead>> WebView::ReadAllForActivation(const std::vector<FramePath>& frames) {
  std::string paths = "[";
  for (std::size_t i = 0; i < frames.size(); ++i) paths += (i ? "," : "") + FramePathLiteral(frames[i]);
  auto v = CallRuntime("activationReads", paths + "]");
  std::vector<std::optional<ActivationRead>> reads(frames.size());
  for (std::size_t i = 0; v && i < frames.size(); ++i)
    if ((*v)[i].kind == ScriptValue::Kind::String) reads[i] = ActivationReadFromRecords(UnpackRecords((*v)[i].string));
  return reads;
}

std::vector<std::optional<SpanSnapshot>> WebView::ActivateAll(const std::vector<DocumentActivation>& batch,
                                                              const std::vector<CtrlKeyPass>& passed) {
  std::string list = "[";
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const DocumentActivation& a = batch[i];
    list += std::string(i ? "," : "") + "[" + FramePathLiteral(a.frame) + "," + JsString(a.css) + "," +
            JsString(PackChanges(a.changes)) + "]";
  }
  auto v = CallRuntime("activateAll", list + "]," + KeyList(passed));
  std::vector<std::optional<SpanSnapshot>> spans(batch.size());
  for (std::size_t i = 0; v && i < batch.size(); ++i)
    if ((*v)[i].kind == ScriptValue::Kind::String) spans[i] = SpansFromRecords(UnpackRecords((*v)[i].string));
  return spans;
}

std::vector<std::string> WebView::FrameSources(const FramePath& frame) {
  auto packed = CallPacked("frameSources", FramePathLiteral(frame));
  if (!packed) return {};
  auto records = UnpackRecords(*packed);
  if (records.empty()) return {};
  return std::move(records[0]);
}

int WebView::NavigateFrames(const FramePath& frame, const std::vector<std::string>& urls) {
  auto v = CallRuntime("navigateFrames", FramePathLiteral(frame) + "," + StringList(urls));
  return v ? v->Int() : 0;
}

std::optional<ElementInfo> WebView::ElementById(const FramePath& frame, const std::string& id) {
  auto packed = CallPacked("byId", FramePathLiteral(frame) + "," + JsString(id));
  if (!packed) return std::nullopt;
  return DescribedElement(*packed);
}

bool WebView::SetElementById(const FramePath& frame, const std::string& id, const std::string& property,
                             const std::string& value) {
  auto v = CallRuntime("setById",
                       FramePathLiteral(frame) + "," + JsString(id) + "," + JsString(property) + "," + JsString(value));
  return v && v->Bool();
}

std::optional<ElementInfo> WebView::ActiveElement(const FramePath& frame) {
  auto packed = CallPacked("active", FramePathLiteral(frame));
  if (!packed) return std::nullopt;
  return DescribedElement(*packed);
}

std::optional<SpanSnapshot> WebView::Spans(const FramePath& frame) {
  auto packed = CallPacked("spans", FramePathLiteral(frame));
  if (!packed) return std::nullopt;
  return SpansFromRecords(UnpackRecords(*packed));
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
  auto v = CallRuntime("hook", FramePathLiteral(frame) + "," + KeyList(passed));
  return v && v->Bool();
}

}  // namespace pq::engine
