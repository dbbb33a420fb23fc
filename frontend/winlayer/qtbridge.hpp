// Inside of the window layer: how its windows sit on the toolkit.  Only the
// layer's own sources include this header.
//
// Every window that paints has a backing image.  Device contexts draw into
// it at any time; a paint event first asks the window to paint (OnPaint)
// when it has been invalidated, then copies the image to the screen.  So a
// drawing made through a client context outside a paint event stays until
// the next invalidation: applications draw through such contexts as well as
// in their paint handlers, and what they drew must outlast the window being
// covered and uncovered.
#pragma once

#include <QAction>
#include <QDialog>
#include <QImage>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>

#include "frontend/winlayer/hooks.hpp"
#include "frontend/winlayer/wnd.hpp"

namespace winlayer::detail {

QColor toQColor(COLORREF c);
COLORREF fromQColor(const QColor& c);
QFont deviceFont();  // the font device contexts write with
QFont dialogFont();
QString toQString(const char* s);
CString fromQString(const QString& s);

// What device contexts draw on: an image with a painter of its own while
// any context uses it, or a painter lent from outside (a printer page).  A
// lent painter has no edges of its own: `bounds` gives it those of the
// window it stands for, so that what falls outside the window does not
// reach the page either.
struct Surface {
  QImage image;
  int users = 0;
  std::unique_ptr<QPainter> painter;
  QPainter* lent = nullptr;
  std::optional<QRect> bounds;

  QPainter* begin();
  void end();
  QPainter* current() const { return lent ? lent : painter.get(); }
  void resize(int w, int h, const QColor& fill);
};

struct WndImpl {
  QPointer<QWidget> widget;
  bool ownsWidget = true;
  Surface surface;
  bool invalid = true;
  bool erase = true;
  QColor background = Qt::white;
  ~WndImpl();
};

// Calls the protected handlers of the application's windows.
struct WndAccess {
  static WndImpl& impl(CWnd& w) { return *w.m_impl; }
  static void attach(CWnd& w, QWidget* widget, bool owns, const QColor& background);
  static void paint(CWnd& w);
  static void resized(CWnd& w, int cx, int cy) { w.OnSize(0, cx, cy); }
  static void mousePress(CWnd& w, Qt::MouseButton b, CPoint p) {
    if (b == Qt::LeftButton) w.OnLButtonDown(1, p);
    if (b == Qt::RightButton) w.OnRButtonDown(2, p);
  }
  static int create(CFrameWnd& f, LPCREATESTRUCT cs) { return f.OnCreate(cs); }
  static FrameImpl& frame(CFrameWnd& f) { return *f.m_frameImpl; }
};

// A toolkit widget whose painting, size and mouse presses go to a window.
template <class Base>
class Forwarder : public Base {
 public:
  Forwarder(CWnd* owner, QWidget* parent) : Base(parent), m_owner(owner) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (m_owner) WndAccess::paint(*m_owner);
  }
  void resizeEvent(QResizeEvent* e) override {
    Base::resizeEvent(e);
    if (!m_owner) return;
    WndImpl& d = WndAccess::impl(*m_owner);
    d.invalid = true;
    d.erase = true;
    WndAccess::resized(*m_owner, this->width(), this->height());
  }
  void mousePressEvent(QMouseEvent* e) override {
    Base::mousePressEvent(e);
    const QPoint p = e->position().toPoint();
    if (m_owner) WndAccess::mousePress(*m_owner, e->button(), CPoint(p.x(), p.y()));
  }

 public:
  CWnd* m_owner;
};

struct FrameImpl {
  QMainWindow* window = nullptr;  // owned through the frame's WndImpl
  std::map<UINT, QAction*> actions;
  std::vector<std::pair<QAction*, UINT>> shortcuts;
  CString idleText;
  bool inIdle = false;
  const CCreateContext* context = nullptr;
};

struct DialogImpl {
  std::map<int, QWidget*> controls;
  bool ended = false;
  int result = IDCANCEL;
  bool inExec = false;
};

struct DialogAccess {
  static DialogImpl* impl(CDialog& d) { return d.m_dlg.get(); }
  static void route(CDialog& d, int id) { d.OnCmdMsg(static_cast<UINT>(id), nullptr); }
  static QWidget* control(const CDialog& d, int id);
};

// Shows a message box (or records it when the hook is set).
int messageBox(QWidget* parent, const char* text, const char* caption, UINT type);
// Test-hook plumbing for the dialog and file dialogs.
bool runDialogHook(CDialog& dlg);
std::optional<std::optional<std::string>> answerFileDialog(const hooks::FileDialogRequest& request);

// Waits for a started program while the windows keep repainting: user
// input is dropped and commands are refused meanwhile, and the main frame's
// prompt pane names the program.
void waitWithWindows(const std::string& program, const std::function<bool()>& ended);
// True while a program is waited for.
bool busy();
// Looks at the programs started without waiting at intervals until none
// runs (see DeliverEndedPrograms).
void watchStartedPrograms();

// The built-in plain-text editor; modal when the caller waits.
void openBuiltinEditor(const std::string& path, bool wait);

// Icon pixmap of an icon resource (a glyph on a coloured square).
QPixmap iconPixmap(UINT id, int size);

}  // namespace winlayer::detail
