#include "frontend/winlayer/hooks.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <clocale>
#include <sstream>

#include "frontend/winlayer/qtbridge.hpp"

namespace winlayer {

namespace detail {

void initGui() {
  SetBuiltinEditor(&openBuiltinEditor);
  SetWaitFunction(&waitWithWindows);
  SetStartedFunction(&watchStartedPrograms);
}

namespace {

QWidget* widgetOf(CWnd& wnd) { return WndAccess::impl(wnd).widget; }

void sendClick(QWidget* target, QPoint local, Qt::MouseButton button) {
  QWidget* top = target->window();
  QWindow* handle = top->windowHandle();
  QObject* receiver = handle ? static_cast<QObject*>(handle) : static_cast<QObject*>(target);
  const QPointF pos = handle ? QPointF(target->mapTo(top, local)) : QPointF(local);
  const QPointF global = QPointF(target->mapToGlobal(local));
  QMouseEvent press(QEvent::MouseButtonPress, pos, pos, global, button, button, Qt::NoModifier);
  QCoreApplication::sendEvent(receiver, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, pos, pos, global, button, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(receiver, &release);
}

void sendKey(QWidget* target, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &release);
}

// Clicks the button of a window named by its control id or by its label
// (without its mnemonic marks).
void pressButton(QWidget* window, const QString& which) {
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
    if (b->isVisible() && (b->objectName() == which || b->text().remove(QLatin1Char('&')) == which)) {
      b->click();
      return;
    }
}

// "OLD NEW": replaces the first OLD in the window's text editor by NEW, as
// typing over a selection of it would.
void replaceText(QWidget* window, const QString& words) {
  auto* edit = window->findChild<QPlainTextEdit*>();
  const QStringList parts = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (!edit || parts.size() != 2) return;
  QTextCursor found = edit->document()->find(parts[0]);
  if (found.isNull()) return;
  edit->setTextCursor(found);
  found.insertText(parts[1]);
}

void activateLayout(QWidget* w) {
  if (QLayout* l = w->layout()) l->activate();
}

void collectMenu(CFrameWnd& frame, QMenu* menu, const QString& prefix, std::vector<hooks::BuiltMenuItem>& out);

void collectAction(CFrameWnd& frame, QAction* a, const QString& prefix, std::vector<hooks::BuiltMenuItem>& out) {
  const QString path = prefix.isEmpty() ? a->text() : prefix + QStringLiteral(" > ") + a->text();
  if (a->isSeparator()) return;
  if (QMenu* sub = a->menu()) {
    out.push_back({fromQString(path), 0, a->isEnabled(), false});
    collectMenu(frame, sub, path, out);
    return;
  }
  out.push_back({fromQString(path), a->data().toUInt(), a->isEnabled(), a->isChecked()});
}

void collectMenu(CFrameWnd& frame, QMenu* menu, const QString& prefix, std::vector<hooks::BuiltMenuItem>& out) {
  // A popup's items are brought up to date when it opens: what is collected
  // is what a person opening it would see.
  emit menu->aboutToShow();
  for (QAction* a : menu->actions()) collectAction(frame, a, prefix, out);
  emit menu->aboutToHide();
}

}  // namespace

}  // namespace detail

namespace hooks {

void ensureApplication() {
  // A test may have replaced the editor or the wait: each test starts with
  // the window layer's own.
  if (QApplication::instance()) {
    detail::initGui();
    return;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "winlayer-test";
  static char* argv[] = {name, nullptr};
  // Kept for the life of the process: windows of several tests use it.
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
  std::setlocale(LC_NUMERIC, "C");
  QStandardPaths::setTestModeEnabled(true);
  detail::initGui();
}

void processEvents() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void runLater(int ms, std::function<void()> f) { QTimer::singleShot(ms, qApp, std::move(f)); }

// ---------------------------------------------------------- dialog driver

UINT DialogDriver::templateId() const { return m_dlg.GetTemplateId(); }

CString DialogDriver::caption() const { return const_cast<CDialog&>(m_dlg).GetWindowText(); }

const DialogTemplate& DialogDriver::dialogTemplate() const { return *AfxFindDialog(m_dlg.GetTemplateId()); }

bool DialogDriver::hasControl(int id) const { return m_dlg.HasControl(id); }
CString DialogDriver::text(int id) const { return m_dlg.GetDlgItemText(id); }

void DialogDriver::type(int id, const char* text) {
  if (auto* e = qobject_cast<QLineEdit*>(detail::DialogAccess::control(m_dlg, id))) e->setText(detail::toQString(text));
}

bool DialogDriver::checked(int id) const { return m_dlg.IsDlgButtonChecked(id) != 0; }

void DialogDriver::setChecked(int id, bool on) {
  if (auto* b = qobject_cast<QCheckBox*>(detail::DialogAccess::control(m_dlg, id)))
    if (b->isChecked() != on) b->click();
}

void DialogDriver::click(int id) {
  if (auto* b = qobject_cast<QAbstractButton*>(detail::DialogAccess::control(m_dlg, id))) b->click();
}

void DialogDriver::pressEscape() {
  if (QWidget* w = detail::WndAccess::impl(m_dlg).widget) detail::sendKey(w, Qt::Key_Escape);
}

void DialogDriver::pressEnter() {
  if (QWidget* w = detail::WndAccess::impl(m_dlg).widget) detail::sendKey(w, Qt::Key_Return);
}

bool DialogDriver::ended() const {
  const detail::DialogImpl* d = detail::DialogAccess::impl(m_dlg);
  return d && d->ended;
}

int DialogDriver::result() const {
  const detail::DialogImpl* d = detail::DialogAccess::impl(m_dlg);
  return d ? d->result : IDCANCEL;
}

bool DialogDriver::renderPng(const std::string& path) const {
  QWidget* w = detail::WndAccess::impl(m_dlg).widget;
  return w && w->grab().save(QString::fromStdString(path), "PNG");
}

namespace {

// Whether a control's text is shown whole within the control.
bool textFits(const QWidget* w, const QString& text) {
  const QFontMetrics fm(w->font());
  if (const auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->wordWrap()) return l->heightForWidth(l->width()) <= l->height();
    return fm.horizontalAdvance(text) + 2 * l->margin() + l->indent() <= l->width();
  }
  if (qobject_cast<const QCheckBox*>(w)) {
    const QStyle* style = w->style();
    return style->pixelMetric(QStyle::PM_IndicatorWidth) + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) +
               fm.horizontalAdvance(text) <=
           w->width();
  }
  // Buttons and group-box titles keep a few pixels of frame on each side.
  return fm.horizontalAdvance(text) + 8 <= w->width();
}

QString controlText(const QWidget* w) {
  if (const auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (const auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
  return {};
}

}  // namespace

std::vector<CString> DialogDriver::clippedTexts() const {
  std::vector<CString> out;
  const QWidget* dlg = detail::WndAccess::impl(m_dlg).widget;
  if (!dlg) return out;
  for (const QWidget* w : dlg->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    const QString text = controlText(w);
    if (text.isEmpty()) continue;
    if (!textFits(w, text) || !dlg->rect().contains(w->geometry())) out.push_back(detail::fromQString(text));
  }
  return out;
}

// ------------------------------------------------------------ images

ImageDC::ImageDC(int width, int height) : m_surface(std::make_unique<detail::Surface>()) {
  m_surface->resize(width, height, Qt::white);
  AttachSurface(m_surface.get());
}

ImageDC::~ImageDC() { AttachSurface(nullptr); }

COLORREF ImageDC::pixel(int x, int y) const {
  if (!m_surface->image.valid(x, y)) return 0xFFFFFFFF;
  return detail::fromQColor(m_surface->image.pixelColor(x, y));
}

bool ImageDC::savePng(const std::string& path) const {
  return m_surface->image.save(QString::fromStdString(path), "PNG");
}

std::optional<Image> loadPng(const std::string& path) {
  QImage img;
  if (!img.load(QString::fromStdString(path))) return std::nullopt;
  Image out;
  out.width = img.width();
  out.height = img.height();
  out.pixels.reserve(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) out.pixels.push_back(detail::fromQColor(img.pixelColor(x, y)));
  return out;
}

bool renderPng(CWnd& wnd, const std::string& path) {
  QWidget* w = detail::widgetOf(wnd);
  if (!w) return false;
  detail::activateLayout(w->window());
  return w->grab().save(QString::fromStdString(path), "PNG");
}

void resizeWindow(CWnd& wnd, int width, int height) {
  QWidget* w = detail::widgetOf(wnd);
  if (!w) return;
  QWidget* top = w->window();
  const QSize extra = top == w ? QSize(0, 0) : top->size() - w->size();
  top->resize(width + extra.width(), height + extra.height());
  detail::activateLayout(top);
  QCoreApplication::processEvents();
}

void clickWindow(CWnd& wnd, CPoint point, bool right) {
  if (QWidget* w = detail::widgetOf(wnd)) detail::sendClick(w, QPoint(point.x, point.y), right ? Qt::RightButton : Qt::LeftButton);
}

// ------------------------------------------------------------ frames

std::vector<BuiltMenuItem> builtMenu(CFrameWnd& frame) {
  std::vector<BuiltMenuItem> out;
  auto* win = qobject_cast<QMainWindow*>(detail::widgetOf(frame));
  if (!win) return out;
  for (QAction* a : win->menuBar()->actions()) detail::collectAction(frame, a, QString(), out);
  return out;
}

std::vector<BuiltShortcut> builtShortcuts(CFrameWnd& frame) {
  std::vector<BuiltShortcut> out;
  for (const auto& [action, id] : detail::WndAccess::frame(frame).shortcuts)
    out.push_back({detail::fromQString(action->shortcut().toString(QKeySequence::PortableText)), id});
  return out;
}

void typeShortcut(CFrameWnd& frame, const char* keys) {
  const QKeySequence wanted(detail::toQString(keys), QKeySequence::PortableText);
  for (const auto& [action, id] : detail::WndAccess::frame(frame).shortcuts) {
    if (action->shortcut() == wanted && action->isEnabled()) {
      action->trigger();
      return;
    }
  }
}

bool chooseMenuItem(CFrameWnd& frame, const char* path) {
  auto* win = qobject_cast<QMainWindow*>(detail::widgetOf(frame));
  if (!win) return false;
  const QStringList parts = detail::toQString(path).split(QStringLiteral(" > "));
  QList<QAction*> actions = win->menuBar()->actions();
  for (int i = 0; i < parts.size(); ++i) {
    QAction* found = nullptr;
    for (QAction* a : actions)
      if (!a->isSeparator() && a->text() == parts[i]) found = a;
    if (!found) return false;
    if (i + 1 < parts.size()) {
      if (!found->menu()) return false;
      emit found->menu()->aboutToShow();
      actions = found->menu()->actions();
      continue;
    }
    if (!found->isEnabled() || found->menu()) return false;
    found->trigger();
    return true;
  }
  return false;
}

std::vector<BuiltToolButton> builtToolBar(CToolBar& bar) {
  std::vector<BuiltToolButton> out;
  auto* tb = qobject_cast<QToolBar*>(detail::widgetOf(bar));
  if (!tb) return out;
  for (QAction* a : tb->actions()) {
    if (a->isSeparator()) {
      out.push_back({0, 0, 0, false});
      continue;
    }
    const QSize size = a->icon().availableSizes().value(0);
    out.push_back({a->data().toUInt(), size.width(), size.height(), !a->toolTip().isEmpty()});
  }
  return out;
}

void clickToolBarButton(CToolBar& bar, int position) {
  auto* tb = qobject_cast<QToolBar*>(detail::widgetOf(bar));
  if (!tb || position < 0 || position >= tb->actions().size()) return;
  QAction* a = tb->actions()[position];
  if (QWidget* button = tb->widgetForAction(a); button && !a->isSeparator())
    detail::sendClick(button, QPoint(button->width() / 2, button->height() / 2), Qt::LeftButton);
}

// ------------------------------------------------------------ script

namespace {

struct ScriptRunner {
  std::vector<std::string> steps;
  std::size_t next = 0;
  int waited = 0;  // polls of a step that waits for a modal window

  CFrameWnd* frame() const { return dynamic_cast<CFrameWnd*>(AfxGetMainWnd()); }

  void schedule(int delayMs) {
    QTimer::singleShot(delayMs, qApp, [this] { runNext(); });
  }

  // The active modal dialog or message box, if any.
  static QWidget* modal() { return QApplication::activeModalWidget(); }

  void runNext() {
    if (next >= steps.size()) return;
    // A step waits while a program is waited for.
    if (detail::busy()) {
      schedule(50);
      return;
    }
    std::istringstream in(steps[next++]);
    std::string verb;
    in >> verb;
    std::string rest;
    std::getline(in >> std::ws, rest);
    CFrameWnd* f = frame();
    // Steps that may open a modal window run after the next step is
    // scheduled, so that the script goes on inside the modal loop.
    if (verb == "menu" || verb == "tool" || verb == "command" || verb == "click" || verb == "rclick") {
      schedule(50);
      if (!f) return;
      if (verb == "click" || verb == "rclick") {
        int x = 0, y = 0;
        std::istringstream(rest) >> x >> y;
        if (f->GetActiveView()) clickWindow(*f->GetActiveView(), CPoint(x, y), verb == "rclick");
      }
      if (verb == "menu") chooseMenuItem(*f, rest.c_str());
      if (verb == "command") f->OnCmdMsg(static_cast<UINT>(std::stoul(rest)), nullptr);
      if (verb == "tool")
        if (auto* tb = dynamic_cast<CToolBar*>(f->GetControlBar(AFX_IDW_TOOLBAR))) clickToolBarButton(*tb, std::stoi(rest));
      return;
    }
    // "accept" (Enter), "escape", "check ID", "type ID TEXT", "press
    // LABEL", "replace OLD NEW" and "modal PATH" act on the modal window,
    // waiting up to ten seconds for it to open.
    if (verb == "accept" || verb == "escape" || verb == "check" || verb == "type" || verb == "press" ||
        verb == "replace" || verb == "modal") {
      QWidget* m = modal();
      if (!m && ++waited < 400) {
        --next;
        schedule(25);
        return;
      }
      waited = 0;
      // Scheduled first: a button or key may open a modal window of its own.
      schedule(50);
      if (m && verb == "accept") detail::sendKey(m, Qt::Key_Return);
      // Escape goes where a person's key would: to the focused control,
      // which passes it on to its window.
      if (m && verb == "escape") detail::sendKey(m->focusWidget() ? m->focusWidget() : m, Qt::Key_Escape);
      if (m && verb == "press") detail::pressButton(m, QString::fromStdString(rest));
      if (m && verb == "replace") detail::replaceText(m, QString::fromStdString(rest));
      if (m && verb == "check")
        if (auto* b = m->findChild<QCheckBox*>(QString::number(std::stoi(rest)))) b->setChecked(true);
      if (m && verb == "modal") {
        QFile out(QString::fromStdString(rest));
        const auto* box = qobject_cast<QMessageBox*>(m);
        if (out.open(QIODevice::WriteOnly)) out.write((box ? box->text() : m->windowTitle()).toUtf8() + "\n");
      }
      if (m && verb == "type") {
        std::istringstream words(rest);
        int id = 0;
        std::string text;
        words >> id;
        std::getline(words >> std::ws, text);
        if (auto* e = m->findChild<QLineEdit*>(QString::number(id))) e->setText(QString::fromStdString(text));
      }
      return;
    }
    std::istringstream args(rest);
    int delay = 50;
    if (verb == "size") {
      int w = 0, h = 0;
      args >> w >> h;
      if (f) detail::widgetOf(*f)->resize(w, h);
    } else if (verb == "wait") {
      args >> delay;
    } else if (verb == "shot") {
      std::string path;
      args >> path;
      if (f) {
        QWidget* top = detail::widgetOf(*f);
        const QRect g = top->frameGeometry();
        top->screen()->grabWindow(0, g.x(), g.y(), g.width(), g.height()).save(QString::fromStdString(path), "PNG");
      }
    } else if (verb == "panes") {
      std::string path;
      args >> path;
      QFile out(QString::fromStdString(path));
      if (f && f->GetStatusBar() && out.open(QIODevice::WriteOnly)) {
        CStatusBar* sb = f->GetStatusBar();
        for (int i = 0; i < sb->GetCount(); ++i) out.write((sb->GetPaneText(i).str() + "\n").c_str());
      }
    } else if (verb == "viewsize") {
      std::string path;
      args >> path;
      QFile out(QString::fromStdString(path));
      if (f && f->GetActiveView() && out.open(QIODevice::WriteOnly)) {
        CRect r;
        f->GetActiveView()->GetClientRect(&r);
        out.write((std::to_string(r.Width()) + " " + std::to_string(r.Height()) + "\n").c_str());
      }
    } else if (verb == "quit") {
      QCoreApplication::quit();
      return;
    }
    schedule(delay);
  }
};

}  // namespace

void startScriptFromEnvironment() {
  const char* script = std::getenv("WINLAYER_SCRIPT");
  if (!script || !*script) return;
  static ScriptRunner runner;
  runner.steps.clear();
  std::string s(script);
  std::size_t start = 0;
  while (start <= s.size()) {
    const auto semi = s.find(';', start);
    std::string step = s.substr(start, semi == std::string::npos ? std::string::npos : semi - start);
    if (step.find_first_not_of(' ') != std::string::npos) runner.steps.push_back(step);
    if (semi == std::string::npos) break;
    start = semi + 1;
  }
  runner.next = 0;
  runner.schedule(200);
}

}  // namespace hooks

}  // namespace winlayer
