#pragma once
#include <optional>

#include "core/frame_path.h"
#include "engine/script_value.h"

typedef struct _JSCValue JSCValue;

namespace pq::engine {

// The engine's script values copied into plain ones (answers of scalars and small records;
// documents come packed, packed_records.h); nesting deeper than the runtime ever
// answers is cut off.
ScriptValue ToScriptValue(JSCValue* value);

// A frame path as the runtime reported it; nullopt for anything else.
std::optional<FramePath> ToFramePath(const ScriptValue& v);

}  // namespace pq::engine
