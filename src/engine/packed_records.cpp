#include "engine/packed_records.h"

#include <cstdlib>

namespace pq::engine {

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

// A number as the page wrote it; anything else (or out of range) gives the fallback.
int ToInt(const std::string& s, int fallback) {
  if (s.empty()) return fallback;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (*end != '\0' || v < -2147483647L || v > 2147483647L) return fallback;
  return static_cast<int>(v);
}

void SetField(ElementInfo& e, const std::string& field, const std::string& value) {
  if (field == "tag") e.tag = value;
  else if (field == "id") e.id = value;
  else if (field == "text") e.text = value;
  else if (field == "html") e.html = value;
  else if (field == "editable") e.editable = !value.empty();
  else if (field == "parent") e.parent = ToInt(value, -1);
  else if (field == "parentId") e.parentId = value;
  else if (field == "parentTag") e.parentTag = value;
  else if (field == "href") e.href = value;
}

}  // namespace

std::vector<PackedRecord> UnpackRecords(const std::string& packed) {
  std::vector<PackedRecord> records;
  PackedRecord record;
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

std::string PackRecords(const std::vector<PackedRecord>& records) {
  std::string out;
  for (const auto& r : records) {
    for (const auto& f : r) AppendField(out, f);
    out += '\x1e';
  }
  return out;
}

std::vector<ElementInfo> ElementsFromRecords(const std::vector<PackedRecord>& records,
                                             const std::vector<std::string>& fields) {
  std::vector<ElementInfo> out;
  out.reserve(records.size());
  for (const auto& r : records) {
    ElementInfo e;
    for (std::size_t i = 0; i < fields.size() && i < r.size(); ++i) SetField(e, fields[i], r[i]);
    out.push_back(std::move(e));
  }
  return out;
}

std::optional<ElementInfo> DescribedElement(const std::string& packed) {
  const auto records = UnpackRecords(packed);
  if (records.size() != 1) return std::nullopt;
  return ElementsFromRecords(records, kDescribedFields).front();
}

SpanSnapshot SpansFromRecords(std::vector<PackedRecord> records) {
  SpanSnapshot spans;
  for (auto& r : records) {
    if (r.size() < 2 || spans.elements.count(r[0])) continue;
    auto& element = spans.elements[r[0]];
    element.innerHTML = std::move(r[1]);
    for (std::size_t i = 2; i < r.size(); ++i) element.editableLinks.push_back(std::move(r[i]));
  }
  return spans;
}

std::optional<DocumentSnapshot> SnapshotFromRecords(const std::vector<PackedRecord>& records) {
  if (records.empty() || records[0].size() < 5 || records[0][0] != "0") return std::nullopt;
  DocumentSnapshot top;
  // The chain of open documents: chain[d] is the last document seen at depth d.
  std::vector<DocumentSnapshot*> chain;
  for (const auto& r : records) {
    if (r.size() < 5) return std::nullopt;
    const int depth = ToInt(r[0], -1);
    if (depth < 0 || depth > static_cast<int>(chain.size()) || depth > static_cast<int>(kMaxFrameDepth))
      return std::nullopt;
    DocumentSnapshot* d = nullptr;
    if (depth == 0) {
      if (!chain.empty()) return std::nullopt;
      d = &top;
    } else {
      auto& siblings = chain[static_cast<std::size_t>(depth - 1)]->frames;
      siblings.emplace_back();
      d = &siblings.back();
    }
    chain.resize(static_cast<std::size_t>(depth));
    chain.push_back(d);
    d->readable = !r[1].empty();
    d->location = r[2];
    d->outerHTML = r[3];
    d->outerText = r[4];
  }
  return top;
}

std::string PackChanges(const std::vector<ElementChange>& changes) {
  std::string packed;
  for (const auto& c : changes) {
    AppendField(packed, std::to_string(c.index));
    AppendField(packed, c.property);
    AppendField(packed, c.value);
    packed += '\x1e';
  }
  return packed;
}

std::optional<ActivationRead> ActivationReadFromRecords(const std::vector<PackedRecord>& records) {
  if (records.empty() || records[0].size() < 2) return std::nullopt;
  ActivationRead read;
  read.markersAndMeta = records[0][0];
  read.frameCount = ToInt(records[0][1], 0);
  read.elements.reserve(records.size() - 1);
  static const std::vector<std::string> kFields = {"tag", "id", "parent", "text", "html"};
  for (std::size_t i = 1; i < records.size(); ++i) {
    ElementInfo e;
    for (std::size_t f = 0; f < kFields.size() && f < records[i].size(); ++f) SetField(e, kFields[f], records[i][f]);
    read.elements.push_back(std::move(e));
  }
  return read;
}

}  // namespace pq::engine
