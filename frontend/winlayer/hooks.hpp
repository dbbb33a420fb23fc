// Test hooks of the window layer.  All are unset in normal use; a test sets
// one to answer what would otherwise wait for a person (modal dialogs,
// message boxes, file dialogs, print dialogs, the text editor), to record
// what was drawn, or to render windows into PNG files under the offscreen
// platform.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/winlayer/dialog.hpp"
#include "frontend/winlayer/platform.hpp"

namespace winlayer::hooks {

// Creates the toolkit's application object when none exists, with settings
// kept apart from the user's and, unless QT_QPA_PLATFORM says otherwise,
// windows drawn off screen; for tests that open windows.
void ensureApplication();

// --- modal dialogs ------------------------------------------------------
// While a dialog hook is set, DoModal builds the dialog, loads its controls
// and hands it to the hook instead of waiting for a person.  The hook types
// into controls and presses buttons; when it returns without the dialog
// having ended, Escape is pressed.
class DialogDriver {
 public:
  explicit DialogDriver(CDialog& dlg) : m_dlg(dlg) {}
  UINT templateId() const;
  CString caption() const;
  CDialog& dialog() { return m_dlg; }
  const DialogTemplate& dialogTemplate() const;
  bool hasControl(int id) const;
  CString text(int id) const;
  void type(int id, const char* text);  // replaces an edit control's text
  bool checked(int id) const;
  void setChecked(int id, bool on);
  void click(int id);        // presses a push button (1 is OK)
  void pressEscape();        // the Escape key
  void pressEnter();         // the Enter key: the default button
  bool ended() const;
  int result() const;
  bool renderPng(const std::string& path) const;
  // The texts of labels, buttons, check boxes and group boxes that do not
  // show whole: wider (or, wrapped, taller) than their control, or their
  // control reaching past the dialog's client area.
  std::vector<CString> clippedTexts() const;

 private:
  CDialog& m_dlg;
};
using DialogHook = std::function<void(DialogDriver&)>;
void setDialogHook(DialogHook hook);

// --- message boxes ------------------------------------------------------
struct MessageBoxRecord {
  CString text;
  CString caption;
  UINT type;
};
// While set, message boxes are appended here and answered with `answer`.
struct MessageBoxLog {
  std::vector<MessageBoxRecord> boxes;
  int answer = IDOK;
};
void setMessageBoxLog(MessageBoxLog* log);

// --- file dialogs -------------------------------------------------------
struct FileDialogRequest {
  bool open;
  CString filter;
  CString defExt;
  CString fileName;
  DWORD flags;
};
// Returns the chosen file's path, or nothing for Cancel.
using FileDialogAnswer = std::function<std::optional<std::string>(const FileDialogRequest&)>;
void setFileDialogAnswer(FileDialogAnswer answer);

// --- printing -----------------------------------------------------------
// The page set-up, the print dialog and the print preview window.
struct PrintRequest {
  enum class Kind { Setup, Print, Preview };
  Kind kind;
};
// For Print and Preview, accepting prints the page: into `outputFile` as
// PDF when one is named.  An orientation, when given, is kept in the
// application's printer settings.
struct PrintAnswer {
  bool accept = false;
  std::string outputFile;
  std::optional<bool> landscape;
};
// While set, answers instead of the person; the preview window is opened
// and its page drawn before the answer is asked for.
using PrintDialogAnswer = std::function<PrintAnswer(const PrintRequest&)>;
void setPrintDialogAnswer(PrintDialogAnswer answer);

// --- text editor --------------------------------------------------------
// Called instead of any editor with the file's absolute path and whether
// the caller waits.
void setEditorStandIn(EditorFunction standIn);

// --- drawing ------------------------------------------------------------
struct DrawOp {
  enum class Kind { Line, Text, Fill };
  Kind kind;
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // line ends; text origin; fill rectangle corners
  COLORREF colour = 0;                 // pen, text or fill colour
  COLORREF background = 0;             // background colour behind text and dashes
  int penStyle = 0;
  int penWidth = 0;
  CString text;
};
struct DrawLog {
  std::vector<DrawOp> ops;
  std::vector<DrawOp> of(DrawOp::Kind kind) const;
};
// While set, every device-context call that draws is appended here.
void setDrawLog(DrawLog* log);
DrawLog* drawLog();

// A device context over an image of its own, white at start.
class ImageDC : public CDC {
 public:
  ImageDC(int width, int height);
  ~ImageDC() override;
  COLORREF pixel(int x, int y) const;
  bool savePng(const std::string& path) const;

 private:
  std::unique_ptr<detail::Surface> m_surface;
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // row by row
  COLORREF pixel(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
};
std::optional<Image> loadPng(const std::string& path);

// Renders a window as it would show on screen (a frame with its menu bar,
// toolbar and status bar) into a PNG file; creates nothing.
bool renderPng(CWnd& wnd, const std::string& path);
// Resizes a window's client area (frames: the whole window), as the user would.
void resizeWindow(CWnd& wnd, int width, int height);
// Sends a mouse press and release to a window at a client position.
void clickWindow(CWnd& wnd, CPoint point, bool right = false);
// Processes pending window events.
void processEvents();
// Calls `f` once from the event loop after `ms` milliseconds (also from
// within a modal loop or a wait for a program).
void runLater(int ms, std::function<void()> f);

// --- built windows ------------------------------------------------------
struct BuiltMenuItem {
  CString path;  // popup texts and the item text joined by " > "
  UINT id;       // 0 for popups and separators
  bool enabled;
  bool checked;
};
std::vector<BuiltMenuItem> builtMenu(CFrameWnd& frame);
struct BuiltShortcut {
  CString keys;  // as the toolkit writes them, e.g. "Ctrl+N", "Shift+Del"
  UINT id;
};
std::vector<BuiltShortcut> builtShortcuts(CFrameWnd& frame);
// Triggers the accelerator bound to a key combination such as "Ctrl+N".
void typeShortcut(CFrameWnd& frame, const char* keys);
// Chooses a menu item by its path ("Settings > Select isotope > 57Fe");
// false when there is none or it is disabled.
bool chooseMenuItem(CFrameWnd& frame, const char* path);
struct BuiltToolButton {
  UINT id;  // 0 for a separator
  int width, height;  // of the face
  bool hasToolTip;
};
std::vector<BuiltToolButton> builtToolBar(CToolBar& bar);
// Presses the toolbar button at a position (separators count).
void clickToolBarButton(CToolBar& bar, int position);

// Runs the script in the environment variable WINLAYER_SCRIPT against the
// main window once the message loop runs: steps separated by ';', each one
// of "size W H", "click X Y", "rclick X Y" (view client coordinates),
// "wait MS", "shot PATH" (screen capture of the main window), "panes PATH"
// (status pane texts, one per line), "viewsize PATH" (client width and
// height of the view), "menu A > B" (chooses a menu item), "tool N"
// (presses toolbar button N), "command ID", "accept" (Enter in the modal
// window), "escape" (Escape in the modal window), "check ID" (marks a
// check box of the modal dialog), "type ID TEXT" (replaces the text of an
// edit control of the modal dialog), "press ID" or "press LABEL" (clicks
// the modal window's button of that control id or label), "replace OLD
// NEW" (replaces the first OLD in the modal window's text editor by NEW, as
// if typed), "modal PATH" (the modal message box's text, or the modal
// dialog's caption), "quit".
// Steps wait while a program is waited for.
void startScriptFromEnvironment();

}  // namespace winlayer::hooks
