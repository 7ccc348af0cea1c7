#include "shell/widgets/splash_frm.h"

#include <gtk/gtk.h>

#include "pageprep/time_stamp.h"
#include "publishing/widgets/message_box.h"
#include "skin/widgets/image_form.h"
#include "skin/widgets/picture_region.h"

namespace pq {

namespace {
constexpr const char* kPicture = "Splash";

gboolean OnDraw(GtkWidget* w, cairo_t* cr, gpointer) {
  skin::ImageForm::Default().Paint(cr, kPicture, 0, 0, gtk_widget_get_scale_factor(w));
  return TRUE;
}
}  // namespace

SplashFrm::SplashFrm(std::optional<std::string> serviceAddress,
                     std::function<std::string(const std::string&)> fetch)
    : service_(std::move(serviceAddress)),
      fetch_(std::move(fetch)),
      check_(service_.has_value()),
      window_(engine::GObjectPtr<GtkWidget>::Ref(gtk_window_new(GTK_WINDOW_TOPLEVEL))) {
  GtkWindow* win = GTK_WINDOW(window_.get());
  gtk_window_set_title(win, "Pagequill");
  gtk_window_set_decorated(win, FALSE);
  gtk_window_set_type_hint(win, GDK_WINDOW_TYPE_HINT_SPLASHSCREEN);
  gtk_window_set_position(win, GTK_WIN_POS_CENTER);
  gtk_window_set_resizable(win, FALSE);
  auto [w, h] = skin::ImageForm::Default().Size(kPicture);
  GtkWidget* picture = gtk_drawing_area_new();
  gtk_widget_set_size_request(picture, w, h);
  signals_.Connect(picture, "draw", G_CALLBACK(OnDraw), nullptr);
  gtk_container_add(GTK_CONTAINER(win), picture);
  gtk_window_set_default_size(win, w, h);
  AtkObject* a = gtk_widget_get_accessible(window_.get());
  atk_object_set_name(a, "Pagequill");
  atk_object_set_description(a, "Starting Pagequill");
}

SplashFrm::~SplashFrm() {
  timer_.Reset();
  if (view_) view_->DocumentComplete = nullptr;
  gtk_widget_destroy(window_.get());
}

GtkWindow* SplashFrm::Window() const { return GTK_WINDOW(window_.get()); }

void SplashFrm::Show() {
  GtkWidget* win = window_.get();
  gtk_widget_show_all(win);
  if (GdkPixbuf* picture = skin::ImageForm::Default().Pixbuf(kPicture, 1))
    skin::ShapeWindowFromPicture(win, picture);
  timer_.StartTimeout(200, reinterpret_cast<GSourceFunc>(OnTimer), this);

  DeleteLeftoverCopies();
  const int version = engine::EngineVersion();
  if (!EngineVersionAcceptable(version / 100, version % 100)) {
    Fail(kEngineTooOldTitle, EngineTooOldMessage(version / 100, version % 100));
    return;
  }
  if (!service_) return;  // nothing to check: the splash only shows its minimum time
  view_ = std::make_unique<engine::WebView>();
  view_->DocumentComplete = [this](const FramePath& frame, const std::string&) {
    if (!frame.empty() || finished_) return;
    const std::string html = view_->OuterHTML({});
    check_.CheckPageLoaded(html.empty() ? std::nullopt : std::optional<std::string>(html), [this] {
      return fetch_(ServiceCheckRequest(*service_, MakeTimeStamp()));
    });
  };
  view_->Navigate(ServiceCheckRequest(*service_, MakeTimeStamp()));
}

int SplashFrm::OnTimer(void* self) {
  auto* s = static_cast<SplashFrm*>(self);
  const bool close = s->check_.Tick();
  if (s->check_.CurrentOutcome() == SplashCheck::Outcome::Failed) {
    s->timer_.Reset();
    s->Fail(kConnectTitle, ConnectFailedMessage());
    return G_SOURCE_REMOVE;
  }
  if (!close) return G_SOURCE_CONTINUE;
  s->timer_.Reset();
  s->Finish(true);
  return G_SOURCE_REMOVE;
}

void SplashFrm::Fail(const std::string& title, const std::string& text) {
  if (finished_) return;
  timer_.Reset();
  ShowMessage(Window(), title, text, MessageIcon::CriticalStop);
  Finish(false);
}

void SplashFrm::Finish(bool ok) {
  if (finished_) return;
  finished_ = true;
  gtk_widget_hide(window_.get());
  if (Finished) Finished(ok);
}

}  // namespace pq
