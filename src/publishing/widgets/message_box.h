#pragma once
#include <gtk/gtk.h>

#include <string>

namespace pq {

enum class MessageIcon { Information, CriticalStop, Question };

// A message box as every one of the program looks: a modal dialog of parent (see MakeModal) with
// the title, the icon of its kind beside the text, and no buttons yet. The caller adds them,
// runs it and destroys it.
GtkWidget* NewMessageBox(GtkWindow* parent, const std::string& title, const std::string& text, MessageIcon icon);

// A modal message box with a title, an icon, the text and an OK button.
void ShowMessage(GtkWindow* parent, const std::string& title, const std::string& text,
                 MessageIcon icon);

// A modal question with two buttons; true when the user chose `yes`. Closing the box, or
// Escape, answers `no`, which must be the safe answer.
bool AskQuestion(GtkWindow* parent, const std::string& title, const std::string& text,
                 const std::string& yes, const std::string& no);

}  // namespace pq
