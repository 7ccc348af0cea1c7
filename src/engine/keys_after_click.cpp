#include "engine/keys_after_click.h"

#include <algorithm>

namespace pq::engine {

KeysAfterClick::KeysAfterClick(GtkWidget* view) : view_(view) {
  // Before the engine's own handlers, which send the event on to the page.
  signals_.Connect(view, "button-press-event", G_CALLBACK(OnPress), this);
  signals_.Connect(view, "key-press-event", G_CALLBACK(OnKey), this);
  signals_.Connect(view, "key-release-event", G_CALLBACK(OnKey), this);
}

KeysAfterClick::~KeysAfterClick() = default;

gboolean KeysAfterClick::OnPress(GtkWidget*, GdkEventButton* event, gpointer self) {
  // The engine makes one page press of each plain press; the double- and triple-press events
  // that follow a second and third press make none.
  if (event->type == GDK_BUTTON_PRESS) {
    auto* k = static_cast<KeysAfterClick*>(self);
    k->order_.Pressed(ClickKeyOrder::Clock::now());
    k->ArmLimit();
  }
  return GDK_EVENT_PROPAGATE;
}

gboolean KeysAfterClick::OnKey(GtkWidget*, GdkEventKey* event, gpointer self) {
  auto* k = static_cast<KeysAfterClick*>(self);
  if (reinterpret_cast<const GdkEvent*>(event) == k->replaying_ ||
      !k->order_.MustWait(ClickKeyOrder::Clock::now(), !k->held_.empty()))
    return GDK_EVENT_PROPAGATE;
  k->held_.emplace_back(gdk_event_copy(reinterpret_cast<GdkEvent*>(event)));
  k->ArmLimit();
  return GDK_EVENT_STOP;
}

gboolean KeysAfterClick::OnLimit(gpointer self) {
  auto* k = static_cast<KeysAfterClick*>(self);
  k->limitSource_.Reset();
  k->ReleaseIfDue();
  return G_SOURCE_REMOVE;
}

void KeysAfterClick::PageSawPress() {
  order_.PageSawPress();
  ReleaseIfDue();
}

void KeysAfterClick::ReleaseIfDue() {
  if (!order_.MayRelease(ClickKeyOrder::Clock::now())) {
    ArmLimit();
    return;
  }
  limitSource_.Reset();
  // Handed over one at a time: a key's handler may let the main loop run, and keys held
  // meanwhile join the end of the queue.
  while (!held_.empty() && !replaying_) {
    std::unique_ptr<GdkEvent, EventFree> event = std::move(held_.front());
    held_.pop_front();
    replaying_ = event.get();
    gtk_widget_event(view_, event.get());
    replaying_ = nullptr;
  }
}

void KeysAfterClick::ArmLimit() {
  if (limitSource_.Active() || held_.empty()) return;
  const auto deadline = order_.Deadline();
  if (!deadline) return;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - ClickKeyOrder::Clock::now());
  limitSource_.StartTimeout(static_cast<guint>(std::max<long long>(wait.count(), 1)), OnLimit, this);
}

}  // namespace pq::engine
