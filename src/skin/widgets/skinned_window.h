#pragma once
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/signal_connection.h"
#include "engine/toplevel_ptr.h"
#include "skin/maximize_frm.h"
#include "skin/title_band.h"
#include "skin/window_images.h"
#include "skin/window_layout.h"
#include "skin/window_skin.h"
#include "skin/widgets/image_form.h"
#include "skin/widgets/skin_image.h"

namespace pq::skin {

// A frameless window drawn by the skin: the title band, the two-line frame, the tab strip,
// the title image that drags it, the window images (close, maximise/restore, minimise, help),
// edges and corners that resize it, and maximising to the work area. Children are placed on
// its content layer by the window that uses it.
class SkinnedWindow {
 public:
  explicit SkinnedWindow(const std::string& caption = "Pagequill", const SkinDesign& design = {},
                         ImageForm& images = ImageForm::Default());
  ~SkinnedWindow();
  SkinnedWindow(const SkinnedWindow&) = delete;
  SkinnedWindow& operator=(const SkinnedWindow&) = delete;

  GtkWindow* Window() const { return GTK_WINDOW(window_.get()); }
  // The layer the window's own controls are put on, in window coordinates.
  void Put(GtkWidget* child, int x, int y);
  void Move(GtkWidget* child, int x, int y);

  // Repaints the title band and frame.
  void PaintTitleBand();
  void MaximiseWindow();
  void RestoreWindow();
  // Puts the window on the work area without remembering where it was (start-up).
  void FillWorkArea();
  bool WindowMaximized() const { return maximized_; }
  // Where the window is on the screen.
  Rect WindowRect() const;
  void SetWindowRect(const Rect& r);
  Rect WorkArea() const;
  const MainWindowLayout& Layout() const { return layout_; }
  // Colours of the tab strip: its outline and its fill.
  void SetTabBackgroundColours(Rgb outline, Rgb fill);

  // Events, raised upwards.
  std::function<void()> Close;      // the close image was released inside it
  std::function<void()> Help;       // the help image was released inside it
  std::function<void(const MainWindowLayout&)> Resized;  // laid out for a new size
  std::function<void()> DragEnded;  // a drag or resize by the mouse has ended
  std::function<void()> FormMouseMove;  // the pointer moved over the window's own surface

  // The picture a window image shows ("ImgClose", "ImgMin", "ImgNormMax", "ImgHelp", "Image1").
  std::string ImagePicture(const std::string& control) const;
  SkinImage* Image(const std::string& control) const;
  // The cursor the window shows for the pointer's zone.
  CursorKind Cursor() const { return cursor_; }
  // Whether the window manager moves and resizes the window (else the skin does it itself).
  bool WindowManagerMoves() const;

 private:
  static gboolean OnDraw(GtkWidget*, cairo_t*, gpointer self);
  static gboolean OnPress(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnRelease(GtkWidget*, GdkEventButton*, gpointer self);
  static gboolean OnMotion(GtkWidget*, GdkEventMotion*, gpointer self);
  static gboolean OnConfigure(GtkWidget*, GdkEventConfigure*, gpointer self);
  void Layout(int w, int h);
  void SetCursor(CursorKind kind);
  void Track(int rootX, int rootY);
  void EndMouse();
  void SyncMaximized(bool on);
  void WindowImageReleased(const std::string& name);
  void WireWindowImage(SkinImage& image);

  ImageForm& images_;
  SkinDesign design_;
  engine::ToplevelPtr window_;
  GtkWidget* content_ = nullptr;  // the window's child
  WindowSkin skin_;
  WindowImages windowImages_;
  MaximizeFrm maximizeFrm_;
  bool maximized_ = false;
  MainWindowLayout layout_;
  int laidOutW_ = -1, laidOutH_ = -1;
  CursorKind cursor_ = CursorKind::Default;
  Rgb tabOutline_{34, 94, 89};
  Rgb tabFill_{32, 200, 32};
  std::unique_ptr<SkinImage> image1_, imgClose_, imgNormMax_, imgMin_, imgHelp_;
  engine::SignalConnections signals_;
};

}  // namespace pq::skin
