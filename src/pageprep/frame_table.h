#pragma once
#include <array>
#include <string>

#include "pageprep/prepared_page.h"

namespace pq {

inline constexpr const char* kFrameError = "FrameError";
inline constexpr const char* kFramePrefix = "frmpage";
inline constexpr const char* kFramePreviewPrefix = "frmpreview";

struct FrameEntry {
  std::string File;         // path of the frame's edit copy, or "FrameError"
  std::string PreviewFile;  // the frame's preview copy
  std::string WebURL;       // the frame's address in the browse pane, which its copy stands in for
  PreparedPage page;        // its source as fetched, and its edit HTML (as written into the
                            // edit copy) with its layout
  bool HasFrames = false;
  bool Editable = false;

  // The frame source as fetched, decoded to UTF-8.
  const std::string& Source() const { return page.source.text; }
  // Exactly as written into the edit copy.
  const std::string& EditHTML() const { return page.edit.html; }
};

// Edit copies of the frames of the page last prepared, depth first from entry 1; Counter is
// the next free entry. Entry 0 is unused. Frames past the last entry are ignored.
struct FrameTable {
  static constexpr int kSize = 201;
  std::array<FrameEntry, kSize> Entries;
  int Counter = 1;

  bool Full() const { return Counter >= kSize; }
  FrameEntry& operator[](int i) { return Entries.at(static_cast<std::size_t>(i)); }
  const FrameEntry& operator[](int i) const { return Entries.at(static_cast<std::size_t>(i)); }
};

// Deletes the frame edit copies frmpage1.htm, frmpage2.htm, ... and sets the counter to 1.
void ClearFrameCopies(FrameTable& table);

}  // namespace pq
