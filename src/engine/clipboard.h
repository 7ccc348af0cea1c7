#pragma once
#include <chrono>
#include <optional>
#include <string>

namespace pq::engine {

inline constexpr std::chrono::milliseconds kClipboardTimeout{2000};

// Replaces the clipboard's contents with HTML: the "HTML Format" block under the target of
// that name, the same markup as text/html, and `plainText` as text when given. Answers
// whether the clipboard took it.
bool PutHTMLClipboard(const std::string& fragment, const std::string& prefix,
                      const std::string& suffix,
                      const std::optional<std::string>& plainText = std::nullopt);

// The clipboard's plain text, else the text content of its text/html; nullopt when it holds
// neither or its owner did not answer in time.
std::optional<std::string> ClipboardText(std::chrono::milliseconds timeout = kClipboardTimeout);

// Puts plain text on the clipboard (all other formats go).
void SetClipboardText(const std::string& text);

// Whether the clipboard offers text or HTML, kept up to date as its owner changes, so that asking on
// every keystroke costs nothing.
bool ClipboardHasText();

}  // namespace pq::engine
