#pragma once
#include <optional>

#include "core/document_event.h"
#include "core/frame_path.h"
#include "engine/script_value.h"
#include "pageprep/frames.h"

typedef struct _JSCValue JSCValue;

namespace pq::engine {

// The engine's script values copied into plain ones; nesting deeper than the runtime ever
// answers is cut off.
ScriptValue ToScriptValue(JSCValue* value);

// A frame path as the runtime reported it; nullopt for anything else.
std::optional<FramePath> ToFramePath(const ScriptValue& v);
ElementInfo ToElement(const ScriptValue& v);
DocumentSnapshot ToSnapshot(const ScriptValue& v, int depth = 0);

}  // namespace pq::engine
