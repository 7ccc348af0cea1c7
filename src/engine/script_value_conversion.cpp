#include "engine/script_value_conversion.h"

#include <webkit2/webkit2.h>

#include "engine/gobject_ptr.h"

namespace pq::engine {

namespace {

constexpr int kMaxDepth = 64;

ScriptValue Convert(JSCValue* v, int depth) {
  ScriptValue out;
  if (!v || depth > kMaxDepth || jsc_value_is_null(v) || jsc_value_is_undefined(v)) return out;
  if (jsc_value_is_boolean(v)) {
    out.kind = ScriptValue::Kind::Bool;
    out.boolean = jsc_value_to_boolean(v);
  } else if (jsc_value_is_number(v)) {
    out.kind = ScriptValue::Kind::Number;
    out.number = jsc_value_to_double(v);
  } else if (jsc_value_is_string(v)) {
    out.kind = ScriptValue::Kind::String;
    GCharPtr s(jsc_value_to_string(v));
    if (s) out.string = s.get();
  } else if (jsc_value_is_array(v)) {
    out.kind = ScriptValue::Kind::Array;
    GObjectPtr<JSCValue> length(jsc_value_object_get_property(v, "length"));
    const int n = length ? jsc_value_to_int32(length.get()) : 0;
    out.items.reserve(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (int i = 0; i < n; ++i) {
      GObjectPtr<JSCValue> item(jsc_value_object_get_property_at_index(v, static_cast<guint>(i)));
      out.items.push_back(Convert(item.get(), depth + 1));
    }
  } else if (jsc_value_is_object(v)) {
    out.kind = ScriptValue::Kind::Object;
    gchar** names = jsc_value_object_enumerate_properties(v);
    for (gchar** n = names; n && *n; ++n) {
      GObjectPtr<JSCValue> field(jsc_value_object_get_property(v, *n));
      out.fields[*n] = Convert(field.get(), depth + 1);
    }
    g_strfreev(names);
  }
  return out;
}

}  // namespace

ScriptValue ToScriptValue(JSCValue* value) { return Convert(value, 0); }

// A frame path as the runtime reported it; anything else (a page posting on our channel
// cannot reach it from its own world, but be strict anyway) is refused.
std::optional<FramePath> ToFramePath(const ScriptValue& v) {
  if (v.kind != ScriptValue::Kind::Array || v.size() > kMaxFrameDepth) return std::nullopt;
  FramePath path;
  for (const auto& item : v.items) {
    const int i = item.Int(-1);
    if (i < 0 || i > 10000) return std::nullopt;
    path.push_back(i);
  }
  return path;
}

}  // namespace pq::engine
