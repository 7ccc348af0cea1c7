#include "engine/clipboard.h"

#include <gtk/gtk.h>

#include <memory>

#include "text/html_clipboard.h"
#include "text/html_text.h"
#include "engine/signal_connection.h"
#include "engine/wait_until.h"

namespace pq::engine {

namespace {

enum Target : guint { kHtmlFormat = 1, kTextHtml, kText };

struct HtmlData {
  std::string block;
  std::string markup;
  std::optional<std::string> text;
};

GtkClipboard* Clipboard() { return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD); }

void GetHtml(GtkClipboard*, GtkSelectionData* selection, guint info, gpointer owner) {
  const auto* data = static_cast<const HtmlData*>(owner);
  const GdkAtom target = gtk_selection_data_get_target(selection);
  auto set = [&](const std::string& bytes) {
    gtk_selection_data_set(selection, target, 8, reinterpret_cast<const guchar*>(bytes.data()),
                           static_cast<gint>(bytes.size()));
  };
  switch (info) {
    case kHtmlFormat: set(data->block); break;
    case kTextHtml: set(data->markup); break;
    case kText:
      if (data->text) {
        gtk_selection_data_set_text(selection, data->text->data(), static_cast<gint>(data->text->size()));
      }
      break;
    default: break;
  }
}

void ClearHtml(GtkClipboard*, gpointer owner) {
  std::unique_ptr<HtmlData> drop(static_cast<HtmlData*>(owner));
}

// What is known of the clipboard's text, refreshed on every change of its owner.
struct TextWatch {
  bool watching = false;
  bool hasText = false;
  unsigned generation = 0;
  unsigned answered = 0;
};
TextWatch& Watch() {
  static TextWatch watch;
  return watch;
}

bool OffersHtml(GdkAtom* atoms, gint count) {
  const GdkAtom html = gdk_atom_intern_static_string("text/html");
  for (gint i = 0; i < count; ++i)
    if (atoms[i] == html) return true;
  return false;
}

// The bytes of text/html as UTF-8 text: browsers give UTF-8, some UTF-16 with a byte-order mark.
std::string HtmlBytesAsUtf8(const guchar* data, gint length) {
  if (!data || length <= 0) return {};
  std::string bytes(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  const char* from = nullptr;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
    from = "UTF-16LE";
  else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF)
    from = "UTF-16BE";
  if (from) {
    gsize written = 0;
    gchar* utf8 = g_convert(bytes.data() + 2, static_cast<gssize>((bytes.size() - 2) & ~std::size_t{1}), "UTF-8", from,
                            nullptr, &written, nullptr);
    if (!utf8) return {};
    std::string out(utf8, written);
    g_free(utf8);
    return out;
  }
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  std::erase(bytes, '\0');
  // Anything that is not UTF-8 is made so; NUL characters end nothing and mean nothing.
  gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
  std::string out(valid);
  g_free(valid);
  return out;
}

// The text content of the clipboard's text/html; nullopt when it offers none in time.
std::optional<std::string> ClipboardHtmlText(std::chrono::milliseconds timeout) {
  struct Reply {
    bool done = false;
    std::optional<std::string> html;
  };
  auto reply = std::make_shared<Reply>();
  auto handle = std::make_unique<std::shared_ptr<Reply>>(reply);
  gtk_clipboard_request_contents(
      Clipboard(), gdk_atom_intern_static_string("text/html"),
      [](GtkClipboard*, GtkSelectionData* selection, gpointer data) {
        std::unique_ptr<std::shared_ptr<Reply>> r(static_cast<std::shared_ptr<Reply>*>(data));
        if (selection && gtk_selection_data_get_length(selection) >= 0) {
          (*r)->html = HtmlBytesAsUtf8(gtk_selection_data_get_data(selection), gtk_selection_data_get_length(selection));
        }
        (*r)->done = true;
      },
      handle.release());
  WaitUntil([&] { return reply->done; }, timeout, "the clipboard's HTML");
  if (!reply->done || !reply->html) return std::nullopt;
  return HtmlTextContent(*reply->html);
}

void RequestTargets() {
  const unsigned generation = ++Watch().generation;
  gtk_clipboard_request_targets(
      Clipboard(),
      [](GtkClipboard*, GdkAtom* atoms, gint count, gpointer data) {
        // An answer overtaken by a newer change of owner is dropped.
        if (GPOINTER_TO_UINT(data) != Watch().generation) return;
        Watch().hasText = atoms && (gtk_targets_include_text(atoms, count) || OffersHtml(atoms, count));
        Watch().answered = GPOINTER_TO_UINT(data);
      },
      GUINT_TO_POINTER(generation));
}

}  // namespace

bool PutHTMLClipboard(const std::string& fragment, const std::string& prefix,
                      const std::string& suffix, const std::optional<std::string>& plainText) {
  auto data = std::make_unique<HtmlData>();
  data->block = HtmlFormatBlock(fragment, prefix, suffix);
  data->markup = HtmlFormatMarkup(fragment, prefix, suffix);
  data->text = plainText;

  GtkTargetList* list = gtk_target_list_new(nullptr, 0);
  gtk_target_list_add(list, gdk_atom_intern_static_string("HTML Format"), 0, kHtmlFormat);
  gtk_target_list_add(list, gdk_atom_intern_static_string("text/html"), 0, kTextHtml);
  if (plainText) gtk_target_list_add_text_targets(list, kText);
  gint count = 0;
  GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
  gtk_target_list_unref(list);

  HtmlData* owner = data.get();
  const bool taken = gtk_clipboard_set_with_data(Clipboard(), targets, static_cast<guint>(count),
                                                 GetHtml, ClearHtml, owner);
  gtk_target_table_free(targets, count);
  // Once taken, the clipboard frees the data through ClearHtml.
  if (taken) data.release();
  // Its HTML alone is pasted as its text, so that counts as well.
  Watch().hasText = (plainText && !plainText->empty()) || !HtmlTextContent(HtmlFormatMarkup(fragment, prefix, suffix)).empty();
  return taken;
}

std::optional<std::string> ClipboardText(std::chrono::milliseconds timeout) {
  struct Reply {
    bool done = false;
    std::optional<std::string> text;
  };
  // The reply is shared with the callback, which may come after we stopped waiting.
  auto reply = std::make_shared<Reply>();
  auto handle = std::make_unique<std::shared_ptr<Reply>>(reply);
  gtk_clipboard_request_text(
      Clipboard(),
      [](GtkClipboard*, const gchar* text, gpointer data) {
        std::unique_ptr<std::shared_ptr<Reply>> r(static_cast<std::shared_ptr<Reply>*>(data));
        if (text) (*r)->text = std::string(text);
        (*r)->done = true;
      },
      handle.release());
  WaitUntil([&] { return reply->done; }, timeout, "the clipboard's text");
  if (!reply->done) return std::nullopt;
  if (reply->text) return reply->text;
  // Copied from a program that offers HTML alone: its text is what is pasted.
  return ClipboardHtmlText(timeout);
}

void SetClipboardText(const std::string& text) {
  gtk_clipboard_set_text(Clipboard(), text.data(), static_cast<gint>(text.size()));
  Watch().hasText = !text.empty();
}

bool ClipboardHasText() {
  TextWatch& watch = Watch();
  if (!watch.watching) {
    watch.watching = true;
    ConnectWithoutData(Clipboard(), "owner-change",
                       G_CALLBACK(+[](GtkClipboard*, GdkEvent*, gpointer) { RequestTargets(); }));
    RequestTargets();
    const unsigned generation = watch.generation;
    // The first answer is waited for (bounded); later ones arrive with the owner's changes.
    WaitUntil([&] { return watch.answered >= generation; }, std::chrono::milliseconds(500),
              "the clipboard's formats");
  }
  return watch.hasText;
}

}  // namespace pq::engine
