// The frame window of the window layer: its control bars (toolbar and
// status bar) and CFrameWnd with its menu, accelerators and idle updates.
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "frontend/winlayer/platform.hpp"
#include "frontend/winlayer/qtbridge.hpp"
#include "frontend/winlayer/wnd.hpp"

namespace winlayer {

namespace detail {
namespace {

int keyOf(UINT vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
  switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_F6: return Qt::Key_F6;
    default: return 0;
  }
}

QKeySequence sequenceOf(const Accelerator& a) {
  QKeyCombination combo(static_cast<Qt::Key>(keyOf(a.key)));
  Qt::KeyboardModifiers mods;
  if (a.ctrl) mods |= Qt::ControlModifier;
  if (a.shift) mods |= Qt::ShiftModifier;
  if (a.alt) mods |= Qt::AltModifier;
  return QKeySequence(QKeyCombination(mods, combo.key()));
}

// The face of a toolbar button: its label in its colour.
QPixmap buttonFace(const ToolBarButton& b, int w, int h) {
  QPixmap pm(w, h);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(std::max(8, h - 4));
  f.setBold(true);
  p.setFont(f);
  p.setPen(toQColor(b.colour));
  p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, toQString(b.label));
  return pm;
}

class FrameWindow : public QMainWindow {
 public:
  using QMainWindow::QMainWindow;
};

}  // namespace
}  // namespace detail

// ---------------------------------------------------------- control bars

// A bar is usually a member of its frame and goes before the frame's base
// part: it takes itself off the frame's list.
CControlBar::~CControlBar() {
  if (m_frame) std::erase(m_frame->m_bars, this);
}

void CControlBar::EnableDocking(DWORD dwDockStyle) {
  m_dockStyle = dwDockStyle;
  auto* tb = qobject_cast<QToolBar*>(detail::WndAccess::impl(*this).widget.data());
  if (!tb) return;
  Qt::ToolBarAreas areas;
  if (dwDockStyle & CBRS_ALIGN_TOP) areas |= Qt::TopToolBarArea;
  if (dwDockStyle & CBRS_ALIGN_BOTTOM) areas |= Qt::BottomToolBarArea;
  if (dwDockStyle & CBRS_ALIGN_LEFT) areas |= Qt::LeftToolBarArea;
  if (dwDockStyle & CBRS_ALIGN_RIGHT) areas |= Qt::RightToolBarArea;
  tb->setAllowedAreas(areas);
  tb->setFloatable(dwDockStyle != 0);
}

bool CControlBar::IsVisible() const {
  const QWidget* w = detail::WndAccess::impl(const_cast<CControlBar&>(*this)).widget;
  return w && !w->isHidden();
}

void CControlBar::SetVisible(bool visible) {
  if (QWidget* w = detail::WndAccess::impl(*this).widget) w->setVisible(visible);
}

bool CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID) {
  (void)rcBorders;
  auto* frame = dynamic_cast<CFrameWnd*>(pParentWnd);
  if (!frame || !frame->HasWindow()) return false;
  QMainWindow* win = detail::WndAccess::frame(*frame).window;
  auto* tb = new QToolBar(win);
  tb->setObjectName(QStringLiteral("toolbar%1").arg(nID));
  tb->setMovable((dwStyle & CBRS_GRIPPER) != 0);
  tb->setFloatable(false);
  tb->setVisible((dwStyle & WS_VISIBLE) != 0);
  (void)dwCtrlStyle;  // toolbars of this platform are always flat
  Qt::ToolBarArea area = Qt::TopToolBarArea;
  if (dwStyle & CBRS_ALIGN_BOTTOM) area = Qt::BottomToolBarArea;
  win->addToolBar(area, tb);
  detail::WndAccess::attach(*this, tb, true, win->palette().window().color());
  m_nID = nID;
  m_frame = frame;
  frame->m_bars.push_back(this);
  return true;
}

bool CToolBar::LoadToolBar(UINT nIDResource) {
  const ToolBarResource* res = AfxFindToolBar(nIDResource);
  auto* tb = qobject_cast<QToolBar*>(detail::WndAccess::impl(*this).widget.data());
  if (!res || !tb || !m_frame) return false;
  m_buttons = res->buttons;
  m_buttonSize = CSize{res->buttonWidth, res->buttonHeight};
  tb->setIconSize(QSize(res->buttonWidth, res->buttonHeight));
  tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
  CFrameWnd* frame = m_frame;
  for (const ToolBarButton& b : res->buttons) {
    if (b.id == 0) {
      tb->addSeparator();
      continue;
    }
    // No text on the action: the label is the face, and there is no tooltip.
    QAction* a = tb->addAction(QIcon(detail::buttonFace(b, res->buttonWidth, res->buttonHeight)), QString());
    a->setData(b.id);
    const UINT id = b.id;
    QObject::connect(a, &QAction::triggered, tb, [frame, id] { frame->OnCmdMsg(id, nullptr); });
  }
  return true;
}

bool CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  auto* frame = dynamic_cast<CFrameWnd*>(pParentWnd);
  if (!frame || !frame->HasWindow()) return false;
  QMainWindow* win = detail::WndAccess::frame(*frame).window;
  auto* sb = new QStatusBar(win);
  sb->setSizeGripEnabled(true);
  win->setStatusBar(sb);
  sb->setVisible((dwStyle & WS_VISIBLE) != 0);
  detail::WndAccess::attach(*this, sb, false, win->palette().window().color());
  m_nID = nID;
  m_frame = frame;
  frame->m_bars.push_back(this);
  return true;
}

bool CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  auto* sb = qobject_cast<QStatusBar*>(detail::WndAccess::impl(*this).widget.data());
  if (!sb || !lpIDArray || nIDCount <= 0) return false;
  for (int i = 0; i < nIDCount; ++i)
    if (lpIDArray[i] != ID_SEPARATOR && AfxLoadString(lpIDArray[i]).IsEmpty()) return false;
  m_ids.assign(lpIDArray, lpIDArray + nIDCount);
  for (UINT id : m_ids) {
    auto* label = new QLabel(sb);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (id == ID_SEPARATOR) {
      sb->addWidget(label, 1);
      continue;
    }
    const CString text = AfxLoadString(id);
    label->setText(detail::toQString(text));
    // The string sets the width: as many characters as it has, at least
    // the width of as many digits (the original font drew '_' as wide as '0').
    const QFontMetrics fm = label->fontMetrics();
    const int digits = fm.horizontalAdvance(QLatin1Char('0')) * text.GetLength();
    label->setFixedWidth(std::max(fm.horizontalAdvance(detail::toQString(text)), digits) + 10);
    sb->addWidget(label, 0);
  }
  return true;
}

namespace {
QLabel* paneLabel(QWidget* bar, int index) {
  auto* sb = qobject_cast<QStatusBar*>(bar);
  if (!sb) return nullptr;
  const auto labels = sb->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
  return index >= 0 && index < labels.size() ? labels[index] : nullptr;
}
}  // namespace

CString CStatusBar::GetPaneText(int nIndex) const {
  const QLabel* l = paneLabel(detail::WndAccess::impl(const_cast<CStatusBar&>(*this)).widget, nIndex);
  return l ? detail::fromQString(l->text()) : CString();
}

void CStatusBar::SetPaneText(int nIndex, const char* text) {
  if (QLabel* l = paneLabel(detail::WndAccess::impl(*this).widget, nIndex)) {
    const QString q = detail::toQString(text);
    if (l->text() != q) l->setText(q);
  }
}

// ------------------------------------------------------------ CFrameWnd

namespace {

const CommandEntry<CFrameWnd> kFrameCommands[] = {
    {ID_VIEW_TOOLBAR, &CFrameWnd::OnBarCheckToolBar},
    {ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheckStatusBar},
};
const UpdateEntry<CFrameWnd> kFrameUpdates[] = {
    {ID_VIEW_TOOLBAR, &CFrameWnd::OnUpdateControlBarMenu},
    {ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateControlBarMenu},
    {ID_INDICATOR_CAPS, &CFrameWnd::OnUpdateKeyIndicator},
    {ID_INDICATOR_NUM, &CFrameWnd::OnUpdateKeyIndicator},
    {ID_INDICATOR_SCRL, &CFrameWnd::OnUpdateKeyIndicator},
};

// Update request for a status pane: its text goes straight to the pane.
class PaneCmdUI : public CCmdUI {
 public:
  explicit PaneCmdUI(CStatusBar* bar) : m_bar(bar) {}
  void SetText(const char* text) override {
    CCmdUI::SetText(text);
    m_bar->SetPaneText(static_cast<int>(m_nIndex), text);
  }

 private:
  CStatusBar* m_bar;
};

void updateActions(CFrameWnd& frame, const QList<QAction*>& actions) {
  for (QAction* a : actions) {
    bool ok = false;
    const UINT id = a->data().toUInt(&ok);
    if (!ok || id == 0) continue;
    CCmdUI ui;
    ui.m_nID = id;
    ui.m_nCheck = -1;
    if (!frame.OnCmdMsg(id, &ui)) ui.m_bEnabled = false;
    a->setEnabled(ui.m_bEnabled);
    if (ui.m_nCheck >= 0) {
      a->setCheckable(true);
      a->setChecked(ui.m_nCheck != 0);
    }
  }
}

}  // namespace

CFrameWnd::CFrameWnd() : m_frameImpl(std::make_unique<detail::FrameImpl>()) {}

CFrameWnd::~CFrameWnd() {
  for (CControlBar* bar : m_bars) bar->m_frame = nullptr;
  m_view.reset();
}

bool CFrameWnd::OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
  if (m_view && m_view->OnCmdMsg(nID, pCmdUI)) return true;
  if (ProcessMessageMap(nID, pCmdUI)) return true;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, pCmdUI);
}

bool CFrameWnd::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  return RouteThroughMap(*this, MessageMap<CFrameWnd>{kFrameCommands, kFrameUpdates}, nID, pCmdUI);
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  (void)cs;
  return true;
}

CDocument* CFrameWnd::GetActiveDocument() const { return m_view ? m_view->GetDocument() : nullptr; }

CControlBar* CFrameWnd::GetControlBar(UINT nID) const {
  for (CControlBar* bar : m_bars)
    if (bar->GetDlgCtrlID() == nID) return bar;
  return nullptr;
}

CStatusBar* CFrameWnd::GetStatusBar() const { return dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR)); }

void CFrameWnd::EnableDocking(DWORD dwDockStyle) {
  if (QMainWindow* win = m_frameImpl->window)
    win->setDockOptions(dwDockStyle ? QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks : QMainWindow::DockOptions());
}

void CFrameWnd::DockControlBar(CControlBar* pBar) {
  QMainWindow* win = m_frameImpl->window;
  auto* tb = pBar ? qobject_cast<QToolBar*>(detail::WndAccess::impl(*pBar).widget.data()) : nullptr;
  if (win && tb && win->toolBarArea(tb) == Qt::NoToolBarArea) win->addToolBar(Qt::TopToolBarArea, tb);
}

bool CFrameWnd::LoadFrame(UINT nIDResource, CCreateContext* pContext) {
  CREATESTRUCT cs;
  cs.cx = 800;
  cs.cy = 600;
  cs.lpszName = AfxLoadString(AFX_IDS_APP_TITLE);
  if (!PreCreateWindow(cs)) return false;

  auto* win = new detail::FrameWindow();
  win->setAttribute(Qt::WA_QuitOnClose, true);
  win->resize(cs.cx, cs.cy);
  win->setWindowTitle(detail::toQString(cs.lpszName));
  win->setWindowIcon(QIcon(detail::iconPixmap(nIDResource, 32)));
  detail::WndAccess::attach(*this, win, true, win->palette().window().color());
  m_frameImpl->window = win;
  m_frameImpl->idleText = AfxLoadString(AFX_IDS_IDLEMESSAGE);

  if (const MenuResource* menu = AfxFindMenu(nIDResource)) {
    std::function<void(QMenu*, const std::vector<MenuItem>&)> fill = [&](QMenu* m, const std::vector<MenuItem>& items) {
      for (const MenuItem& item : items) {
        if (item.isSeparator()) {
          m->addSeparator();
        } else if (item.isPopup()) {
          fill(m->addMenu(detail::toQString(item.text)), item.popup);
        } else {
          QAction* a = m->addAction(detail::toQString(item.text));
          a->setData(item.id);
          const UINT id = item.id;
          QObject::connect(a, &QAction::triggered, win, [this, id] { OnCmdMsg(id, nullptr); });
          QObject::connect(a, &QAction::hovered, win, [this, id] {
            const CString prompt = AfxLoadString(id);
            const auto nl = prompt.str().find('\n');
            SetMessageText(prompt.str().substr(0, nl).c_str());
          });
        }
      }
      QObject::connect(m, &QMenu::aboutToShow, win, [this, m] { updateActions(*this, m->actions()); });
      QObject::connect(m, &QMenu::aboutToHide, win, [this] { SetMessageText(m_frameImpl->idleText); });
    };
    QMenuBar* bar = win->menuBar();
    for (const MenuItem& item : menu->bar) {
      if (item.isPopup()) {
        QMenu* m = bar->addMenu(detail::toQString(item.text));
        fill(m, item.popup);
      } else if (!item.isSeparator()) {
        QAction* a = bar->addAction(detail::toQString(item.text));
        a->setData(item.id);
        const UINT id = item.id;
        QObject::connect(a, &QAction::triggered, win, [this, id] { OnCmdMsg(id, nullptr); });
      }
    }
  }
  if (const auto* accels = AfxFindAccelerators(nIDResource)) {
    for (const Accelerator& acc : *accels) {
      auto* a = new QAction(win);
      a->setShortcut(detail::sequenceOf(acc));
      a->setShortcutContext(Qt::WindowShortcut);
      win->addAction(a);
      const UINT id = acc.command;
      QObject::connect(a, &QAction::triggered, win, [this, id] { OnCmdMsg(id, nullptr); });
      m_frameImpl->shortcuts.emplace_back(a, id);
    }
  }

  m_frameImpl->context = pContext;
  if (OnCreate(&cs) == -1) {
    m_view.reset();
    m_frameImpl->window = nullptr;
    m_frameImpl->shortcuts.clear();
    // Deletes the window with whatever bars were made in it.
    detail::WndAccess::attach(*this, nullptr, false, QColor());
    return false;
  }
  if (QAbstractEventDispatcher* ed = QAbstractEventDispatcher::instance())
    QObject::connect(ed, &QAbstractEventDispatcher::aboutToBlock, win, [this] { OnIdleUpdateCmdUI(); });
  SetMessageText(m_frameImpl->idleText);
  return true;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  (void)lpCreateStruct;
  const CCreateContext* ctx = m_frameImpl->context;
  if (!ctx || !ctx->m_pNewViewClass) return 0;
  std::unique_ptr<CObject> obj(ctx->m_pNewViewClass->CreateObject());
  auto* view = dynamic_cast<CView*>(obj.get());
  if (!view) return -1;
  obj.release();
  m_view.reset(view);
  auto* w = new detail::Forwarder<QWidget>(view, m_frameImpl->window);
  w->setAttribute(Qt::WA_OpaquePaintEvent, true);
  w->setMinimumSize(1, 1);
  m_frameImpl->window->setCentralWidget(w);
  detail::WndAccess::attach(*view, w, true, Qt::white);
  view->m_pDocument = ctx->m_pCurrentDoc;
  if (ctx->m_pCurrentDoc) ctx->m_pCurrentDoc->m_view = view;
  return 0;
}

void CFrameWnd::OnIdleUpdateCmdUI() {
  detail::FrameImpl& f = *m_frameImpl;
  if (f.inIdle || !f.window) return;
  f.inIdle = true;
  if (CStatusBar* sb = GetStatusBar()) {
    for (int i = 0; i < sb->GetCount(); ++i) {
      const UINT id = sb->GetItemID(i);
      if (id == ID_SEPARATOR) continue;
      PaneCmdUI ui(sb);
      ui.m_nID = id;
      ui.m_nIndex = static_cast<UINT>(i);
      OnCmdMsg(id, &ui);
    }
  }
  for (CControlBar* bar : m_bars) {
    if (auto* tb = qobject_cast<QToolBar*>(detail::WndAccess::impl(*bar).widget.data()))
      updateActions(*this, tb->actions());
  }
  f.inIdle = false;
}

void CFrameWnd::SetMessageText(const char* text) {
  CStatusBar* sb = GetStatusBar();
  if (!sb) return;
  for (int i = 0; i < sb->GetCount(); ++i)
    if (sb->GetItemID(i) == ID_SEPARATOR) sb->SetPaneText(i, text);
}

void CFrameWnd::OnBarCheckToolBar() {
  if (CControlBar* bar = GetControlBar(AFX_IDW_TOOLBAR)) bar->SetVisible(!bar->IsVisible());
}

void CFrameWnd::OnBarCheckStatusBar() {
  if (CControlBar* bar = GetControlBar(AFX_IDW_STATUS_BAR)) bar->SetVisible(!bar->IsVisible());
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
  CControlBar* bar = GetControlBar(pCmdUI->m_nID);
  pCmdUI->Enable(bar != nullptr);
  pCmdUI->SetCheck(bar && bar->IsVisible() ? 1 : 0);
}

// The toolkit tells nothing of the lock keys' state, so the lock panes
// stay blank.
void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI) { pCmdUI->SetText(""); }

}  // namespace winlayer
