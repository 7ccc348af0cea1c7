#pragma once
#include <string>
#include <vector>

#include "core/frame_path.h"

namespace pq {

// An element as the in-page runtime describes it. Fields that were not asked for stay empty.
struct ElementInfo {
  std::string tag;       // as the engine gives it (upper case for HTML elements)
  std::string id;
  std::string text;      // inner text
  std::string html;      // inner HTML
  bool editable = false; // isContentEditable
  int parent = -1;       // index of the parent element in the same list, -1 when none
  std::string parentId;
  std::string parentTag;
  std::string href;
};

// One change of a batch: a property of the element with this index in the last Elements list.
// Properties: innerHTML, contentEditable, border (style), disabled ("1" or ""), href, target,
// onclick (clicks on the element and inside it do nothing, links included; no attribute is
// touched), focus.
struct ElementChange {
  int index = 0;
  std::string property;
  std::string value;
};

// A key that the in-page runtime leaves to the engine when it is pressed with Ctrl in editable
// text (with Shift too when withShift); every other key with Ctrl is cancelled at once.
struct CtrlKeyPass {
  int keyCode = 0;
  bool withShift = false;
};

// What activation reads of a document in one walk: the site check's view of it (see
// EditPaneBrowser::MarkersAndMeta), its number of frames, and its body's elements with tag, id
// and parent, text only for SPAN and A, html only for edit and anchor spans (any element with
// such an id) and links.
struct ActivationRead {
  std::string markersAndMeta;
  int frameCount = 0;
  std::vector<ElementInfo> elements;
};

// One document's activation: its style sheet and batch of changes.
struct DocumentActivation {
  FramePath frame;
  std::string css;
  std::vector<ElementChange> changes;
};

// A document event as the in-page runtime records it at the moment it fires.
struct DocumentEvent {
  FramePath frame;
  int load = 0;  // which load of that frame the document is (a frame that loads again counts up)
  std::string type;  // "keydown", "keypress", "click", "selectionchange", "contextmenu", ...
  int keyCode = 0;
  bool ctrlKey = false;
  bool shiftKey = false;
  int x = 0, y = 0;       // mouse position in the document's window
  bool hasText = false;   // the selection holds text
  bool hasActive = false;
  ElementInfo active;     // the active element; html only when it is editable
};

}  // namespace pq
