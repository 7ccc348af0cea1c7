#pragma once
#include <map>
#include <string>
#include <vector>

namespace pq::engine {

// A value returned by the in-page runtime, copied out of the engine so that the code reading
// it needs no engine types. Reading a missing field or index gives a null value, never an error:
// whatever a page manages to hand back must not crash the reader.
struct ScriptValue {
  enum class Kind { Null, Bool, Number, String, Array, Object };
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<ScriptValue> items;
  std::map<std::string, ScriptValue> fields;

  bool IsNull() const { return kind == Kind::Null; }
  const ScriptValue& operator[](const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? Null() : it->second;
  }
  const ScriptValue& operator[](std::size_t i) const { return i < items.size() ? items[i] : Null(); }
  std::size_t size() const { return items.size(); }
  std::string Str() const { return kind == Kind::String ? string : std::string(); }
  bool Bool() const { return kind == Kind::Bool ? boolean : false; }
  int Int(int fallback = 0) const {
    if (kind != Kind::Number || !(number > -2147483648.0 && number < 2147483647.0)) return fallback;
    return static_cast<int>(number);
  }
  static const ScriptValue& Null() {
    static const ScriptValue null;
    return null;
  }
};

}  // namespace pq::engine
