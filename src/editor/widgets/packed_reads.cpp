#include "editor/widgets/packed_reads.h"

#include "engine/in_page_runtime.h"

namespace pq {

namespace {

// Packs what a runtime operation returned; `rows` turns it into arrays of strings.
std::string PackScript(const std::string& call, const std::string& rows) {
  return "(() => { const esc = (v) => String(v ?? '').replace(/[\\\\\\x1d\\x1e\\x1f]/g, (c) => "
         "({'\\\\': '\\\\\\\\', '\\x1d': '\\\\l', '\\x1e': '\\\\r', '\\x1f': '\\\\f'})[c]);"
         " const r = " + call + "; const rows = " + rows + ";"
         " let out = ''; for (const row of rows) { for (const f of row) out += esc(f) + '\\x1f'; out += '\\x1e'; }"
         " return out; })()";
}

}  // namespace

std::vector<std::vector<std::string>> UnpackRecords(const std::string& packed) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  for (std::size_t i = 0; i < packed.size(); ++i) {
    const char c = packed[i];
    if (c == '\\' && i + 1 < packed.size()) {
      const char n = packed[++i];
      field += n == 'r' ? '\x1e' : n == 'f' ? '\x1f' : n == 'l' ? '\x1d' : n;
    } else if (c == '\x1f') {
      record.push_back(std::move(field));
      field.clear();
    } else if (c == '\x1e') {
      records.push_back(std::move(record));
      record.clear();
    } else {
      field += c;
    }
  }
  return records;
}

std::vector<ElementInfo> PackedElements(engine::WebView& view, const FramePath& frame,
                                        const std::vector<std::string>& fields) {
  std::string list = "[";
  for (std::size_t i = 0; i < fields.size(); ++i) list += (i ? "," : "") + engine::JsString(fields[i]);
  list += "]";
  const std::string call = "window.__pq.elements(" + FramePathLiteral(frame) + "," + list + ")";
  const std::string rows = "r.map((e) => " + list + ".map((f) => typeof e[f] === 'boolean' ? (e[f] ? 1 : '') : e[f]))";
  std::vector<ElementInfo> out;
  auto v = view.Evaluate(PackScript(call, rows));
  if (!v || v->kind != engine::ScriptValue::Kind::String) return out;
  const auto records = UnpackRecords(v->Str());
  out.reserve(records.size());
  for (const auto& r : records) {
    ElementInfo e;
    for (std::size_t i = 0; i < fields.size() && i < r.size(); ++i) {
      const std::string& f = fields[i];
      const std::string& value = r[i];
      if (f == "tag") e.tag = value;
      else if (f == "id") e.id = value;
      else if (f == "text") e.text = value;
      else if (f == "html") e.html = value;
      else if (f == "editable") e.editable = !value.empty();
      else if (f == "parent") e.parent = value.empty() ? -1 : std::atoi(value.c_str());
      else if (f == "parentId") e.parentId = value;
      else if (f == "href") e.href = value;
    }
    out.push_back(std::move(e));
  }
  return out;
}

namespace {
void AppendField(std::string& out, const std::string& value) {
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\x1d': out += "\\l"; break;
      case '\x1e': out += "\\r"; break;
      case '\x1f': out += "\\f"; break;
      default: out += c;
    }
  }
  out += '\x1f';
}
}  // namespace

int PackedApplyChanges(engine::WebView& view, const FramePath& frame, const std::vector<ElementChange>& changes) {
  if (changes.empty()) return 0;
  std::string packed;
  for (const auto& c : changes) {
    AppendField(packed, std::to_string(c.index));
    AppendField(packed, c.property);
    AppendField(packed, c.value);
    packed += '\x1e';
  }
  const std::string script =
      "(() => { const un = (v) => v.replace(/\\\\(.)/g, (m, c) => ({l: '\x1d', r: '\x1e', f: '\x1f'})[c] ?? c);"
      " const rows = " + engine::JsString(packed) + ".split('\x1e'); rows.pop();"
      " const changes = rows.map((row) => { const f = row.split('\x1f'); return [Number(f[0]), un(f[1]), un(f[2])]; });"
      " return window.__pq.apply(" + FramePathLiteral(frame) + ", changes); })()";
  auto v = view.Evaluate(script);
  return v ? v->Int() : 0;
}

std::vector<ElementInfo> PackedActivationElements(engine::WebView& view, const FramePath& frame) {
  const std::string path = FramePathLiteral(frame);
  const std::string call = "window.__pq.elements(" + path + ", ['tag', 'id', 'parent'])";
  // The list the runtime keeps on the document, for the texts of spans and links.
  const std::string rows =
      "(() => { let w = window; for (const i of " + path + ") w = w.frames[i];"
      " const list = w.document.__pqList || [];"
      " return r.map((e, i) => { const el = list[i]; const tag = e.tag.toUpperCase();"
      " const text = (tag === 'SPAN' || tag === 'A') && el ? (el.innerText ?? el.textContent ?? '') : '';"
      " const html = tag === 'SPAN' && e.id.toUpperCase().startsWith('ZZZEDIT') && el ? el.innerHTML : '';"
      " return [e.tag, e.id, e.parent, text, html]; }); })()";
  std::vector<ElementInfo> out;
  auto v = view.Evaluate(PackScript(call, rows));
  if (!v || v->kind != engine::ScriptValue::Kind::String) return out;
  const auto records = UnpackRecords(v->Str());
  out.reserve(records.size());
  for (const auto& r : records) {
    if (r.size() < 5) continue;
    ElementInfo e;
    e.tag = r[0];
    e.id = r[1];
    e.parent = r[2].empty() ? -1 : std::atoi(r[2].c_str());
    e.text = r[3];
    e.html = r[4];
    out.push_back(std::move(e));
  }
  return out;
}

std::optional<SpanSnapshot> PackedSpans(engine::WebView& view, const FramePath& frame) {
  const std::string call = "window.__pq.spans(" + FramePathLiteral(frame) + ")";
  const std::string rows = "Object.keys(r).map((id) => [id, r[id].html, ...r[id].links])";
  auto v = view.Evaluate(PackScript(call, rows));
  if (!v || v->kind != engine::ScriptValue::Kind::String) return std::nullopt;
  SpanSnapshot spans;
  for (auto& r : UnpackRecords(v->Str())) {
    if (r.size() < 2) continue;
    auto& element = spans.elements[r[0]];
    element.innerHTML = std::move(r[1]);
    for (std::size_t i = 2; i < r.size(); ++i) element.editableLinks.push_back(std::move(r[i]));
  }
  return spans;
}

}  // namespace pq
