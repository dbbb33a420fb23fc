// Control bars of a frame: the toolbar with its text-label buttons and the
// status bar with its panes.
#include <QFrame>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "frontend/winlayer/qtbridge.hpp"
#include "frontend/winlayer/wnd.hpp"

namespace winlayer {

namespace {

// The face of a toolbar button: its label in its colour.
QPixmap buttonFace(const ToolBarButton& b, int w, int h) {
  QPixmap pm(w, h);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(std::max(8, h - 4));
  f.setBold(true);
  p.setFont(f);
  p.setPen(detail::toQColor(b.colour));
  p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, detail::toQString(b.label));
  return pm;
}

}  // namespace

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
  (void)dwCtrlStyle;  // every toolbar of the layer is flat: the style has nothing to choose
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
    QAction* a = tb->addAction(QIcon(buttonFace(b, res->buttonWidth, res->buttonHeight)), QString());
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
    // the width of as many digits, so that a pane sized by a placeholder of
    // underscores holds that many digits whatever width the font gives '_'.
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

}  // namespace winlayer
