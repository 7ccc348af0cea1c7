#include "engine/editing_commands.h"

#include <webkit2/webkit2.h>

#include "engine/web_view.h"

namespace pq::engine {

void RunEditingCommand(WebView& view, EditingCommand command) {
  const char* name = command == EditingCommand::kCut    ? WEBKIT_EDITING_COMMAND_CUT
                     : command == EditingCommand::kCopy ? WEBKIT_EDITING_COMMAND_COPY
                                                        : WEBKIT_EDITING_COMMAND_PASTE;
  webkit_web_view_execute_editing_command(WEBKIT_WEB_VIEW(view.Widget()), name);
  // The command travels to the page before the script, so the script's answer comes after the
  // command was carried out.
  view.Evaluate("0");
}

}  // namespace pq::engine
