#pragma once

typedef struct _WebKitWebContext WebKitWebContext;

namespace pq::engine {

// Serves the program's own page copies (pageprep/copy_address.h) to the views of the context,
// always as HTML in UTF-8, and makes the scheme a local one: only local documents (the copies
// themselves) may load its addresses, and views with file access reach their frames' copies.
void RegisterCopyScheme(WebKitWebContext* context);

}  // namespace pq::engine
