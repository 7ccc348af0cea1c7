#pragma once
#include <string>
#include <string_view>

namespace pq::engine {

// The script world the runtime lives in: page scripts cannot see or replace it.
inline constexpr const char* kRuntimeWorld = "pagequill";
// The name of the script message channel through which the runtime reports.
inline constexpr const char* kRuntimeChannel = "pq";

// The in-page runtime, injected at document start into every frame. It reports each document's
// frame path when it starts loading and when it has loaded, forwards the events of documents the
// edit pane hooks, and offers the operations the adapter calls from the top document
// (window.__pq.<name>(...)). Defining it twice in one document does nothing.
std::string_view InPageRuntimeSource();

// A JavaScript string literal holding text exactly (quotes, backslashes, line breaks, U+2028).
std::string JsString(std::string_view text);

// A call of one runtime operation, preceded by the runtime itself for documents it could not be
// injected into (the initial empty document, pages loaded before the view was set up).
std::string RuntimeCall(std::string_view operation, std::string_view arguments);

}  // namespace pq::engine
