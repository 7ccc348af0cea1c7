#pragma once
#include <string>
#include <vector>

#include "core/document_event.h"
#include "pageprep/restore_html.h"

namespace pq {

inline constexpr const char* kDeletedTextHTML = "&nbsp;<!--DeletedText-->";

// An element offered as the first caret position (see EditControl::SetInitialControl).
struct InitialControlOffer {
  int index = -1;   // in the element list
  std::string id;
  bool fixed = false;
};

// Everything activation does to one document, decided from one read of its elements (tag, id,
// text, parent; html filled in for the edit spans). Carried out as one style sheet and one batch
// of changes. Nothing here adds an attribute inside a span: editability and unselectability come
// from the style sheet, dropped clicks from the runtime's properties, and the only contents
// changed are an emptied deleted-text marker and a trailing blank made "&nbsp;".
struct ActivationPlan {
  std::string styleSheet;
  std::vector<ElementChange> changes;
  std::vector<int> editable;  // indices of the elements made editable (edit spans and links)
  std::vector<InitialControlOffer> offers;
};

// Form fields are disabled in the same batch (outside the spans; inside one, where a disabled
// attribute would be published, they only stop taking the mouse).
// deletedFound: whether a deleted-text span was found already (in this document or an earlier
// frame of the same level); set when this document holds one.
ActivationPlan PlanActivation(const std::vector<ElementInfo>& elements, bool linkTextEditable,
                              bool& deletedFound);

// A document that is shown but not edited: nothing in it can be selected, clicked through or
// typed into.
ActivationPlan PlanInert(const std::vector<ElementInfo>& elements);

// The spans' contents right after activation, as the runtime would read them back: each edit or
// anchor span (any element with such an id; the first of an id counts) with its HTML as read, and
// the HTML of the links inside it that are editable (inside an element the plan opened), except
// for the spans in `changed` (the contents the batch set, read again), which are taken whole.
SpanSnapshot SpansAfterActivation(const std::vector<ElementInfo>& elements, const std::vector<int>& editable,
                                  SpanSnapshot changed);

// "#id" for a style sheet, with every character that is not a letter, digit, "-" or "_" escaped.
std::string CssIdSelector(const std::string& id);

}  // namespace pq
