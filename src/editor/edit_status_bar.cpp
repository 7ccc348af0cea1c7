#include "editor/edit_status_bar.h"

namespace pq {

void EditStatusBar::SetStatus(PageStatus status) {
  icon_ = EditStatusIcon::None;
  switch (status) {
    case PageStatus::Editable:
      icon_ = EditStatusIcon::Tick;
      text_ = kEditableText;
      break;
    case PageStatus::NotEditable:
      icon_ = EditStatusIcon::Cross;
      text_ = kNotEditableText;
      break;
    case PageStatus::Part:
      icon_ = EditStatusIcon::Exclamation;
      text_ = kPartText;
      break;
    case PageStatus::Unknown:
      break;
  }
  if (Changed) Changed();
}

}  // namespace pq
