#include "frontend/winlayer/wnd.hpp"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "frontend/winlayer/dialog.hpp"
#include "frontend/winlayer/platform.hpp"
#include "frontend/winlayer/qtbridge.hpp"

namespace winlayer {

namespace detail {

WndImpl::~WndImpl() {
  if (ownsWidget && widget) delete widget.data();
}

void WndAccess::attach(CWnd& w, QWidget* widget, bool owns, const QColor& background) {
  WndImpl& d = *w.m_impl;
  if (d.ownsWidget && d.widget) delete d.widget.data();
  d.widget = widget;
  d.ownsWidget = owns;
  d.background = background;
  d.invalid = true;
  d.erase = true;
  d.surface = Surface{};
}

void WndAccess::paint(CWnd& w) {
  WndImpl& d = *w.m_impl;
  QWidget* widget = d.widget;
  if (!widget) return;
  const bool sizeChanged = d.surface.image.size() != widget->size();
  d.surface.resize(widget->width(), widget->height(), d.background);
  if (sizeChanged) d.invalid = true;
  if (d.invalid) {
    if (d.erase && d.surface.users == 0) d.surface.image.fill(d.background);
    d.erase = false;
    w.OnPaint();
    d.invalid = false;
  }
  QPainter p(widget);
  p.drawImage(0, 0, d.surface.image);
}

int messageBox(QWidget* parent, const char* text, const char* caption, UINT type);

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

class FrameWindow : public QMainWindow {
 public:
  using QMainWindow::QMainWindow;
};

}  // namespace

QPixmap iconPixmap(UINT id, int size) {
  QPixmap pm(size, size);
  const IconResource* icon = AfxFindIcon(id);
  if (!icon) {
    pm.fill(Qt::transparent);
    return pm;
  }
  pm.fill(toQColor(icon->background));
  QPainter p(&pm);
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(size * 3 / 4);
  f.setBold(true);
  p.setFont(f);
  p.setPen(toQColor(icon->foreground));
  p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, toQString(icon->glyph));
  return pm;
}

}  // namespace detail

// ---------------------------------------------------------------- CWnd

CWnd::CWnd() : m_impl(std::make_unique<detail::WndImpl>()) {}

CWnd::~CWnd() {
  if (QWidget* w = m_impl->widget) {
    if (auto* f = dynamic_cast<detail::Forwarder<QWidget>*>(w)) f->m_owner = nullptr;
    if (auto* f = dynamic_cast<detail::Forwarder<QDialog>*>(w)) f->m_owner = nullptr;
  }
}

bool CWnd::HasWindow() const { return m_impl->widget != nullptr; }

void CWnd::Invalidate(BOOL bErase) {
  m_impl->invalid = true;
  if (bErase) m_impl->erase = true;
  if (m_impl->widget) m_impl->widget->update();
}

void CWnd::InvalidateRect(const CRect* lpRect, BOOL bErase) {
  // The backing image is repainted as a whole: a part of it is the whole.
  (void)lpRect;
  Invalidate(bErase);
}

void CWnd::UpdateWindow() {
  if (m_impl->widget && m_impl->invalid && m_impl->widget->isVisible()) m_impl->widget->repaint();
}

void CWnd::GetClientRect(CRect* lpRect) const {
  if (!lpRect) return;
  *lpRect = CRect();
  if (m_impl->widget) *lpRect = CRect(0, 0, m_impl->widget->width(), m_impl->widget->height());
}

BOOL CWnd::ShowWindow(int nCmdShow) {
  if (!m_impl->widget) return 0;
  const bool was = m_impl->widget->isVisible();
  m_impl->widget->setVisible(nCmdShow != SW_HIDE);
  return was ? 1 : 0;
}

void CWnd::SetWindowText(const char* text) {
  if (m_impl->widget) m_impl->widget->setWindowTitle(detail::toQString(text));
}

CString CWnd::GetWindowText() const {
  return m_impl->widget ? detail::fromQString(m_impl->widget->windowTitle()) : CString();
}

int CWnd::MessageBox(const char* text, const char* caption, UINT nType) {
  const CString title = caption ? CString(caption) : (AfxGetApp() ? AfxGetApp()->m_pszAppName : CString());
  return detail::messageBox(m_impl->widget, text, title, nType);
}

void CWnd::OnPaint() { CPaintDC dc(this); }
void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}

// ------------------------------------------------------------ CDocument

namespace {
const CommandEntry<CDocument> kDocumentCommands[] = {
    {ID_FILE_SAVE, &CDocument::OnFileSave},
};
}  // namespace

bool CDocument::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  return RouteThroughMap(*this, MessageMap<CDocument>{kDocumentCommands}, nID, pCmdUI);
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  SetModifiedFlag(false);
  return true;
}

namespace {

// Opens the document's file and lets the document serialize itself.
bool serializeFile(CDocument& doc, const char* pathName, bool storing) {
  std::FILE* f = crt::fopen(pathName, storing ? "wb" : "rb");
  if (!f) {
    AfxMessageBox(CString(storing ? "Cannot write the document " : "Cannot open the document ") + pathName + ".",
                  MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (!storing) doc.DeleteContents();
  CArchive ar(f, storing);
  doc.Serialize(ar);
  std::fclose(f);
  doc.SetModifiedFlag(false);
  return true;
}

}  // namespace

bool CDocument::OnOpenDocument(const char* pathName) { return serializeFile(*this, pathName, false); }

bool CDocument::OnSaveDocument(const char* pathName) { return serializeFile(*this, pathName, true); }

void CDocument::SetPathName(const char* pathName) {
  m_strPathName = pathName ? pathName : "";
  if (!m_strPathName.IsEmpty()) m_strTitle = CString(QFileInfo(detail::toQString(pathName)).fileName().toStdString());
}

void CDocument::SetTitle(const char* title) { m_strTitle = title ? title : ""; }

void CDocument::OnFileSave() {
  CString path = m_strPathName;
  if (path.IsEmpty()) {
    CFileDialog dlg(false, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "All Files (*.*)|*.*||");
    if (dlg.DoModal() != IDOK) return;
    path = dlg.GetPathName();
  }
  if (!OnSaveDocument(path)) return;
  SetPathName(path);
  if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(path);
}

// ---------------------------------------------------------------- CView

bool CView::OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
  if (ProcessMessageMap(nID, pCmdUI)) return true;
  return m_pDocument && m_pDocument->OnCmdMsg(nID, pCmdUI);
}

void CView::OnInitialUpdate() { Invalidate(); }

void CView::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
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
  // No command runs while a program is waited for; updates go on.
  if (!pCmdUI && detail::busy()) return true;
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
