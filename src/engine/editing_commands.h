#pragma once

namespace pq::engine {

class WebView;

// The engine's own editing commands, run on the view's focused document as a keystroke would
// run them. A script's paste does nothing in this engine; this one pastes the clipboard.
enum class EditingCommand { kCut, kCopy, kPaste };

// Runs the command and waits (bounded) until the page has carried it out.
void RunEditingCommand(WebView& view, EditingCommand command);

}  // namespace pq::engine
