#pragma once
#include <optional>
#include <string>
#include <vector>

#include "pageprep/fetcher.h"
#include "pageprep/frame_table.h"

namespace pq {

// What preparing a page reads of a displayed document and its frames.
class PageDocument {
 public:
  virtual ~PageDocument() = default;
  // The document's location URL; nullopt when it cannot be read (a frame of another site).
  virtual std::optional<std::string> LocationURL() const = 0;
  // The engine's serialisation of the document element, and its text.
  virtual std::string OuterHTML() const = 0;
  virtual std::string OuterText() const = 0;
  virtual int FrameCount() const = 0;
  // The document of frame i, or nullptr when it cannot be read. Valid while this one lives.
  virtual const PageDocument* Frame(int i) const = 0;
};

// A document as values: what one walk of a live page reads (all frames included), or a fake.
struct DocumentSnapshot : PageDocument {
  bool readable = true;
  std::string location;
  std::string outerHTML;
  std::string outerText;
  std::vector<DocumentSnapshot> frames;

  std::optional<std::string> LocationURL() const override {
    if (!readable) return std::nullopt;
    return location;
  }
  std::string OuterHTML() const override { return readable ? outerHTML : std::string(); }
  std::string OuterText() const override { return readable ? outerText : std::string(); }
  int FrameCount() const override { return readable ? static_cast<int>(frames.size()) : 0; }
  const PageDocument* Frame(int i) const override {
    if (!readable || i < 0 || i >= FrameCount() || !frames[static_cast<std::size_t>(i)].readable)
      return nullptr;
    return &frames[static_cast<std::size_t>(i)];
  }
};

// A frame's copy as fetched and marked up, before anything is written.
struct FrameCopy {
  bool readable = false;  // false: the entry becomes "FrameError"
  std::string href;       // the frame's location, for the BASE line
  FrameEntry entry;       // everything but File
};

// Fetches and marks up every frame of a document, depth first (as many as the table has room
// for from its counter on). Writes nothing: a preparation that is overtaken while it fetches
// leaves no trace.
std::vector<FrameCopy> FetchFrameCopies(const PageDocument* document, const FrameTable& table,
                                        const Fetcher& fetch);
// Writes fetched frame copies, each under the smallest free prefix + n + ".htm", into the table
// from its counter on. Does not wait for anything.
void WriteFrameCopies(std::vector<FrameCopy> copies, FrameTable& table,
                      const std::string& prefix = kFramePrefix);

// Both at once: the edit copies of all frames of a document from the table's counter on.
void PrepareFrames(const PageDocument* document, FrameTable& table, const Fetcher& fetch);

// Fetches and writes one frame's edit copy (TempFolder + prefix + n + ".htm", the smallest free
// n), fills entry index of the table except File, and returns the copy's path.
std::string MakeFrameCopy(const PageDocument& document, int index, const std::string& prefix,
                          FrameTable& table, const Fetcher& fetch);

// Fetches a frame (the engine's serialisation when nothing comes) and marks it up.
FrameCopy FetchFrameCopy(const PageDocument& document, const Fetcher& fetch);

}  // namespace pq
