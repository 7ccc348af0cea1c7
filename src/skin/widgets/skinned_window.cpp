#include "skin/widgets/skinned_window.h"

#include <cmath>

#include "skin/widgets/window_manager.h"

namespace pq::skin {

namespace {
constexpr int kImage1X = 14;

// What assistive technologies call each window image.
std::string AccessibleName(const std::string& image, bool maximized) {
  if (image == "ImgClose") return "Close";
  if (image == "ImgMin") return "Minimise";
  if (image == "ImgHelp") return "Help";
  return maximized ? "Restore" : "Maximise";
}
constexpr int kImage1Y = 8;

void SetSourceRgb(cairo_t* cr, Rgb c) {
  cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

GdkCursorType FallbackCursor(CursorKind kind) {
  switch (kind) {
    case CursorKind::WestEast: return GDK_SB_H_DOUBLE_ARROW;
    case CursorKind::NorthSouth: return GDK_SB_V_DOUBLE_ARROW;
    case CursorKind::NorthWestSouthEast: return GDK_BOTTOM_RIGHT_CORNER;
    case CursorKind::NorthEastSouthWest: return GDK_BOTTOM_LEFT_CORNER;
    case CursorKind::Default: break;
  }
  return GDK_LEFT_PTR;
}

const char* CursorName(CursorKind kind) {
  switch (kind) {
    case CursorKind::WestEast: return "ew-resize";
    case CursorKind::NorthSouth: return "ns-resize";
    case CursorKind::NorthWestSouthEast: return "nwse-resize";
    case CursorKind::NorthEastSouthWest: return "nesw-resize";
    case CursorKind::Default: break;
  }
  return "default";
}

GdkWindowEdge EdgeOf(Zone z) {
  switch (z) {
    case Zone::Left: return GDK_WINDOW_EDGE_WEST;
    case Zone::Right: return GDK_WINDOW_EDGE_EAST;
    case Zone::Top: return GDK_WINDOW_EDGE_NORTH;
    case Zone::Bottom: return GDK_WINDOW_EDGE_SOUTH;
    case Zone::TopLeft: return GDK_WINDOW_EDGE_NORTH_WEST;
    case Zone::TopRight: return GDK_WINDOW_EDGE_NORTH_EAST;
    case Zone::BottomLeft: return GDK_WINDOW_EDGE_SOUTH_WEST;
    default: return GDK_WINDOW_EDGE_SOUTH_EAST;
  }
}
}  // namespace

SkinnedWindow::SkinnedWindow(const std::string& caption, const SkinDesign& design,
                             ImageForm& images)
    : images_(images), design_(design) {
  window_ = engine::ToplevelPtr(gtk_window_new(GTK_WINDOW_TOPLEVEL));
  gtk_window_set_title(GTK_WINDOW(window_.get()), caption.c_str());
  gtk_window_set_decorated(GTK_WINDOW(window_.get()), FALSE);
  const Rect start = maximizeFrm_.NormalRect();
  gtk_window_set_default_size(GTK_WINDOW(window_.get()), start.width, start.height);

  // A layout does not ask for its children's size, so the window can always shrink to the
  // minimum whatever was placed for a larger size.
  content_ = gtk_layout_new(nullptr, nullptr);
  gtk_widget_add_events(content_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                      GDK_POINTER_MOTION_MASK);
  gtk_container_add(GTK_CONTAINER(window_.get()), content_);
  signals_.Connect(content_, "draw", G_CALLBACK(OnDraw), this);
  signals_.Connect(content_, "button-press-event", G_CALLBACK(OnPress), this);
  signals_.Connect(content_, "button-release-event", G_CALLBACK(OnRelease), this);
  signals_.Connect(content_, "motion-notify-event", G_CALLBACK(OnMotion), this);
  signals_.Connect(window_.get(), "configure-event", G_CALLBACK(OnConfigure), this);

  windowImages_.SetImage = [this](const std::string& control, const std::string& picture) {
    if (SkinImage* img = Image(control)) img->SetPicture(picture);
  };

  image1_ = std::make_unique<SkinImage>("Image1", images_);
  image1_->SetPicture("TitleImage");
  // Screen readers hear the program's name, not the control's.
  image1_->SetAccessibleName("Pagequill");
  image1_->Press = [this](int, int, int rx, int ry) {
    skin_.BeginTitleDrag(rx, ry, WindowRect());
    if (WindowManagerMoves() && !maximized_) {
      skin_.EndMouse();
      gtk_window_begin_move_drag(Window(), 1, rx, ry, gtk_get_current_event_time());
    }
  };
  image1_->Motion = [this](int, int, int rx, int ry, bool) {
    SetCursor(CursorKind::Default);
    Track(rx, ry);
  };
  image1_->Release = [this](int, int) { EndMouse(); };
  Put(image1_->Widget(), kImage1X, kImage1Y);

  imgClose_ = std::make_unique<SkinImage>("ImgClose", images_);
  imgNormMax_ = std::make_unique<SkinImage>("ImgNormMax", images_);
  imgMin_ = std::make_unique<SkinImage>("ImgMin", images_);
  imgHelp_ = std::make_unique<SkinImage>("ImgHelp", images_);
  for (SkinImage* img : {imgClose_.get(), imgNormMax_.get(), imgMin_.get(), imgHelp_.get()}) {
    WireWindowImage(*img);
    img->SetAccessible(ATK_ROLE_PUSH_BUTTON, AccessibleName(img->Name(), false));
    SkinImage* self = img;
    img->Activate = [this, self] { WindowImageReleased(self->Name()); };
    img->SetPicture(windowImages_.PictureName(img->Name(), "Norm"));
    windowImages_.SetImageSize(img->Name(), img->Width(), img->Height());
    Put(img->Widget(), 0, 0);
  }
  Layout(start.width, start.height);
  gtk_widget_show_all(content_);
}

SkinnedWindow::~SkinnedWindow() = default;

void SkinnedWindow::WireWindowImage(SkinImage& img) {
  const std::string name = img.Name();
  img.Press = [this, name](int, int, int, int) { windowImages_.ButtonDown(name); };
  img.Motion = [this, name](int x, int y, int, int, bool) {
    SetCursor(CursorKind::Default);
    windowImages_.ButtonHover(name, x, y);
  };
  img.Release = [this, name](int x, int y) {
    if (windowImages_.ButtonUp(name, x, y)) WindowImageReleased(name);
  };
  img.Leave = [this] {
    if (!windowImages_.ButtonPressed) windowImages_.RestoreButtons();
  };
}

void SkinnedWindow::WindowImageReleased(const std::string& name) {
  if (name == "ImgClose") {
    if (Close) Close();
  } else if (name == "ImgMin") {
    gtk_window_iconify(Window());
  } else if (name == "ImgNormMax") {
    if (maximized_)
      RestoreWindow();
    else
      MaximiseWindow();
  } else if (name == "ImgHelp") {
    if (Help) Help();
  }
}

void SkinnedWindow::Put(GtkWidget* child, int x, int y) {
  gtk_layout_put(GTK_LAYOUT(content_), child, x, y);
}

void SkinnedWindow::Move(GtkWidget* child, int x, int y) {
  gtk_layout_move(GTK_LAYOUT(content_), child, x, y);
}

SkinImage* SkinnedWindow::Image(const std::string& control) const {
  for (SkinImage* img :
       {image1_.get(), imgClose_.get(), imgNormMax_.get(), imgMin_.get(), imgHelp_.get()})
    if (img && img->Name() == control) return img;
  return nullptr;
}

std::string SkinnedWindow::ImagePicture(const std::string& control) const {
  SkinImage* img = Image(control);
  return img ? img->Picture() : std::string();
}

void SkinnedWindow::SetTabBackgroundColours(Rgb outline, Rgb fill) {
  tabOutline_ = outline;
  tabFill_ = fill;
  PaintTitleBand();
}

void SkinnedWindow::PaintTitleBand() { gtk_widget_queue_draw(content_); }

bool SkinnedWindow::WindowManagerMoves() const { return WindowManagerMovesWindows(window_.get()); }

Rect SkinnedWindow::WindowRect() const {
  Rect r;
  GdkWindow* gw = gtk_widget_get_window(window_.get());
  if (gw && gtk_widget_get_realized(window_.get())) {
    gdk_window_get_origin(gw, &r.x, &r.y);
    r.width = gdk_window_get_width(gw);
    r.height = gdk_window_get_height(gw);
  } else {
    gtk_window_get_position(Window(), &r.x, &r.y);
    gtk_window_get_size(Window(), &r.width, &r.height);
  }
  return r;
}

void SkinnedWindow::SetWindowRect(const Rect& r) {
  gtk_window_move(Window(), r.x, r.y);
  gtk_window_resize(Window(), r.width, r.height);
}

Rect SkinnedWindow::WorkArea() const {
  GdkDisplay* display = gtk_widget_get_display(window_.get());
  GdkMonitor* monitor = nullptr;
  if (GdkWindow* gw = gtk_widget_get_window(window_.get()))
    monitor = gdk_display_get_monitor_at_window(display, gw);
  if (!monitor) monitor = gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle area{0, 0, 1024, 768};
  if (monitor) gdk_monitor_get_workarea(monitor, &area);
  return {area.x, area.y, area.width, area.height};
}

void SkinnedWindow::SyncMaximized(bool on) {
  maximized_ = on;
  skin_.WindowMaximized = on;
  windowImages_.WindowMaximized = on;
  imgNormMax_->SetPicture(windowImages_.PictureName("ImgNormMax", "Norm"));
  imgNormMax_->SetAccessibleName(AccessibleName("ImgNormMax", on));
}

void SkinnedWindow::MaximiseWindow() {
  SetWindowRect(maximizeFrm_.MaximiseWindow(WindowRect(), WorkArea()));
  SyncMaximized(true);
}

void SkinnedWindow::RestoreWindow() {
  SetWindowRect(maximizeFrm_.RestoreWindow());
  SyncMaximized(false);
}

void SkinnedWindow::FillWorkArea() {
  SetWindowRect(WorkArea());
  SyncMaximized(true);
}

void SkinnedWindow::Layout(int w, int h) {
  if (w == laidOutW_ && h == laidOutH_) return;
  laidOutW_ = w;
  laidOutH_ = h;
  layout_ = LayoutMainWindow(w, h, design_);
  Move(imgClose_->Widget(), layout_.ImgClose.x, layout_.ImgClose.y);
  Move(imgNormMax_->Widget(), layout_.ImgNormMax.x, layout_.ImgNormMax.y);
  Move(imgMin_->Widget(), layout_.ImgMin.x, layout_.ImgMin.y);
  Move(imgHelp_->Widget(), layout_.ImgHelp.x, layout_.ImgHelp.y);
  gtk_widget_queue_draw(content_);
  if (Resized) Resized(layout_);
}

gboolean SkinnedWindow::OnConfigure(GtkWidget*, GdkEventConfigure* e, gpointer self) {
  static_cast<SkinnedWindow*>(self)->Layout(e->width, e->height);
  return FALSE;
}

gboolean SkinnedWindow::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self) {
  auto* s = static_cast<SkinnedWindow*>(self);
  const int w = gtk_widget_get_allocated_width(widget);
  const int h = gtk_widget_get_allocated_height(widget);
  SetSourceRgb(cr, kSkinBackground);
  cairo_paint(cr);
  // One line per pixel row of the band.
  for (int y = 0; y < kTitleBandHeight && y < h; ++y) {
    SetSourceRgb(cr, TitleBandColour(y));
    cairo_rectangle(cr, 0, y, w, 1);
    cairo_fill(cr);
  }
  const MainWindowLayout l = LayoutMainWindow(w, h, s->design_);
  const Rect tab = l.TabBackground;
  SetSourceRgb(cr, s->tabFill_);
  cairo_rectangle(cr, tab.x, tab.y, tab.width, tab.height);
  cairo_fill_preserve(cr);
  SetSourceRgb(cr, s->tabOutline_);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, tab.x + 0.5, tab.y + 0.5, tab.width - 1, tab.height - 1);
  cairo_stroke(cr);
  // The two-line frame: a dark outer line and a light inner one.
  const FrameRects f = LayoutFrame(w, h);
  cairo_set_source_rgb(cr, 4 / 255.0, 28 / 255.0, 84 / 255.0);
  cairo_rectangle(cr, f.OuterRectangle.x + 0.5, f.OuterRectangle.y + 0.5,
                  f.OuterRectangle.width - 1, f.OuterRectangle.height - 1);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 120 / 255.0, 170 / 255.0, 240 / 255.0);
  cairo_rectangle(cr, f.InnerRectangle.x + 0.5, f.InnerRectangle.y + 0.5,
                  f.InnerRectangle.width - 1, f.InnerRectangle.height - 1);
  cairo_stroke(cr);
  return FALSE;  // the layout draws the children on top
}

gboolean SkinnedWindow::OnPress(GtkWidget*, GdkEventButton* e, gpointer self) {
  auto* s = static_cast<SkinnedWindow*>(self);
  if (e->button != 1 || e->type != GDK_BUTTON_PRESS) return FALSE;
  const Rect r = s->WindowRect();
  const int rx = static_cast<int>(e->x_root), ry = static_cast<int>(e->y_root);
  s->skin_.BeginMouse(rx - r.x, ry - r.y, rx, ry, r);
  if (s->WindowManagerMoves() && !s->maximized_) {
    // The window manager's own move and resize give the same result and feel native.
    const bool drag = s->skin_.Dragging();
    const Zone zone = s->skin_.ResizeZone();
    s->skin_.EndMouse();
    if (drag)
      gtk_window_begin_move_drag(s->Window(), 1, rx, ry, e->time);
    else if (zone != Zone::None) {
      // The window manager keeps to the minimum size through the size hints; they are set
      // only now so that the program can still shrink the window out of sight at start-up.
      GdkGeometry hints{};
      hints.min_width = kMinWidth;
      hints.min_height = kMinHeight;
      gtk_window_set_geometry_hints(s->Window(), nullptr, &hints, GDK_HINT_MIN_SIZE);
      gtk_window_begin_resize_drag(s->Window(), EdgeOf(zone), 1, rx, ry, e->time);
    }
  }
  return TRUE;
}

gboolean SkinnedWindow::OnMotion(GtkWidget*, GdkEventMotion* e, gpointer self) {
  auto* s = static_cast<SkinnedWindow*>(self);
  const int rx = static_cast<int>(e->x_root), ry = static_cast<int>(e->y_root);
  s->windowImages_.RestoreButtons();
  if (s->skin_.MouseIsDown()) {
    s->Track(rx, ry);
  } else {
    const Rect r = s->WindowRect();
    s->SetCursor(s->skin_.HoverCursor(rx - r.x, ry - r.y, r.width, r.height));
  }
  if (s->FormMouseMove) s->FormMouseMove();
  return TRUE;
}

gboolean SkinnedWindow::OnRelease(GtkWidget*, GdkEventButton* e, gpointer self) {
  if (e->button != 1) return FALSE;
  static_cast<SkinnedWindow*>(self)->EndMouse();
  return TRUE;
}

void SkinnedWindow::Track(int rootX, int rootY) {
  if (auto r = skin_.TrackMouse(rootX, rootY)) {
    const Rect now = WindowRect();
    if (!(*r == now)) SetWindowRect(*r);
  }
}

void SkinnedWindow::EndMouse() {
  const bool was = skin_.MouseIsDown();
  skin_.EndMouse();
  SetCursor(CursorKind::Default);
  if (was && DragEnded) DragEnded();
}

void SkinnedWindow::SetCursor(CursorKind kind) {
  if (kind == cursor_) return;
  cursor_ = kind;
  GdkWindow* target = gtk_layout_get_bin_window(GTK_LAYOUT(content_));
  if (!target) return;
  GdkDisplay* display = gtk_widget_get_display(content_);
  engine::GObjectPtr<GdkCursor> cursor(gdk_cursor_new_from_name(display, CursorName(kind)));
  if (!cursor) cursor = engine::GObjectPtr<GdkCursor>(gdk_cursor_new_for_display(display, FallbackCursor(kind)));
  gdk_window_set_cursor(target, cursor.get());
}

}  // namespace pq::skin
