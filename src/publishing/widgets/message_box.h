#pragma once
#include <gtk/gtk.h>

#include <string>

namespace pq {

enum class MessageIcon { Information, CriticalStop };

// A modal message box with a title, an icon, the text and an OK button.
void ShowMessage(GtkWindow* parent, const std::string& title, const std::string& text,
                 MessageIcon icon);

}  // namespace pq
