#pragma once
#include <string>
#include <string_view>

namespace pq::engine {

// The script world the runtime lives in: page scripts cannot see or replace it.
inline constexpr const char* kRuntimeWorld = "pagequill";
// The name of the script message channel through which the runtime reports.
inline constexpr const char* kRuntimeChannel = "pq";

// The property of what a call answers when its document has no runtime yet.
inline constexpr const char* kRuntimeMissing = "pqRuntimeMissing";

// The in-page runtime (in_page_runtime.js, embedded at build time), installed once per document
// at document start into every frame. Defining it twice in one document does nothing.
std::string_view InPageRuntimeSource();

// A JavaScript string literal holding text exactly (quotes, backslashes, line breaks, U+2028).
std::string JsString(std::string_view text);

// A call of one runtime operation: only the call. In a document without the runtime it answers
// an object with the property kRuntimeMissing.
std::string RuntimeCall(std::string_view operation, std::string_view arguments);
// The runtime followed by the call, for documents it was not installed in (the initial empty
// document, pages loaded before the view was set up).
std::string RuntimeInstallAndCall(std::string_view operation, std::string_view arguments);

}  // namespace pq::engine
