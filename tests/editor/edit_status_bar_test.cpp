#include "editor/edit_status_bar.h"

#include <gtest/gtest.h>

namespace {

using pq::EditStatusIcon;
using pq::PageStatus;

TEST(EditStatusBar, EachStatusShowsItsPictureAndSentence) {
  const struct {
    PageStatus status;
    EditStatusIcon icon;
    const char* text;
  } cases[] = {
      {PageStatus::Editable, EditStatusIcon::Tick, "Changes to this page can be published"},
      {PageStatus::Part, EditStatusIcon::Exclamation, "Some parts of this page cannot be edited/published"},
      {PageStatus::NotEditable, EditStatusIcon::Cross,
       "Changes cannot be published. Click \"Publish\" for more information"},
  };
  for (const auto& c : cases) {
    pq::EditStatusBar bar;
    int changed = 0;
    bar.Changed = [&] { ++changed; };
    bar.SetStatus(c.status);
    EXPECT_EQ(bar.Icon(), c.icon) << c.text;
    EXPECT_EQ(bar.Text(), c.text);
    EXPECT_EQ(changed, 1);
  }
}

TEST(EditStatusBar, StartsBlankAndAnUnknownStatusKeepsTheSentence) {
  pq::EditStatusBar bar;
  EXPECT_EQ(bar.Icon(), EditStatusIcon::None);
  EXPECT_EQ(bar.Text(), "");
  bar.SetStatus(PageStatus::Editable);
  bar.SetStatus(PageStatus::Unknown);
  EXPECT_EQ(bar.Icon(), EditStatusIcon::None);
  EXPECT_EQ(bar.Text(), "Changes to this page can be published");
  bar.SetStatus(PageStatus::NotEditable);
  EXPECT_EQ(bar.Icon(), EditStatusIcon::Cross);
}

}  // namespace
