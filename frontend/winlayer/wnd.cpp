// The window layer's windows: CWnd over a toolkit widget with its own paint
// surface, the document and the view.
#include "frontend/winlayer/wnd.hpp"

#include <QFileInfo>

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

}  // namespace winlayer
