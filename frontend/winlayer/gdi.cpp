#include "frontend/winlayer/gdi.hpp"

#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "frontend/winlayer/hooks.hpp"
#include "frontend/winlayer/qtbridge.hpp"

namespace winlayer {

namespace detail {

QColor toQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF fromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

QFont deviceFont() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(12);
  return f;
}

QFont dialogFont() {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(11);
  return f;
}

QString toQString(const char* s) { return QString::fromLocal8Bit(s ? s : ""); }
CString fromQString(const QString& s) { return CString(s.toLocal8Bit().toStdString()); }

QPainter* Surface::begin() {
  if (lent) {
    ++users;
    return lent;
  }
  if (image.isNull()) return nullptr;
  if (users++ == 0) painter = std::make_unique<QPainter>(&image);
  return painter.get();
}

void Surface::end() {
  if (users > 0 && --users == 0) painter.reset();
}

void Surface::resize(int w, int h, const QColor& fill) {
  if (users > 0 || w <= 0 || h <= 0) return;
  if (image.width() == w && image.height() == h) return;
  image = QImage(w, h, QImage::Format_RGB32);
  image.fill(fill);
}

}  // namespace detail

namespace hooks {

namespace {
DrawLog*& currentLog() {
  static DrawLog* log = nullptr;
  return log;
}
}  // namespace

void setDrawLog(DrawLog* log) { currentLog() = log; }
DrawLog* drawLog() { return currentLog(); }

std::vector<DrawOp> DrawLog::of(DrawOp::Kind kind) const {
  std::vector<DrawOp> out;
  for (const auto& op : ops)
    if (op.kind == kind) out.push_back(op);
  return out;
}

}  // namespace hooks

namespace {

// Dash lengths of the thin dashed and dotted pens, in pixels: on, off.
constexpr double kDash[2] = {18, 6};
constexpr double kDot[2] = {3, 3};

const double* dashPattern(const CPen& pen) {
  if (pen.m_width > 1) return nullptr;
  if (pen.m_style == PS_DASH) return kDash;
  if (pen.m_style == PS_DOT) return kDot;
  return nullptr;
}

QPen toQPen(const CPen& pen, double dashPhase) {
  QPen q(detail::toQColor(pen.m_color));
  q.setWidth(std::max(1, pen.m_width));
  q.setCapStyle(Qt::FlatCap);
  if (const double* d = dashPattern(pen)) {
    q.setDashPattern({d[0], d[1]});
    q.setDashOffset(dashPhase);
  }
  return q;
}

}  // namespace

bool CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
  if (nPenStyle < PS_SOLID || nPenStyle > PS_DOT || nWidth < 0) return false;
  m_style = nWidth > 1 ? PS_SOLID : nPenStyle;
  m_width = nWidth;
  m_color = crColor;
  m_created = true;
  return true;
}

bool CFont::CreateFont(int nHeight, int nStretch) {
  if (nHeight < 0 || nStretch < 1 || nStretch > 1000) return false;
  m_height = nHeight;
  m_stretch = nStretch;
  m_created = true;
  return true;
}

bool CGdiObject::DeleteObject() {
  const bool was = m_created;
  m_created = false;
  return was;
}

CDC::CDC() = default;

CDC::~CDC() {
  if (m_surface) m_surface->end();
}

// The context keeps the surface's painter open for its whole life, so that
// a curve of thousands of segments costs no painter set-up per segment.
void CDC::AttachSurface(detail::Surface* surface) {
  if (m_surface) m_surface->end();
  m_surface = surface && surface->begin() ? surface : nullptr;
}

// Every context of a surface shares its painter, so the clip is set anew
// for each drawing call.
QPainter* CDC::Painter() const {
  QPainter* p = m_surface ? m_surface->current() : nullptr;
  if (!p) return nullptr;
  std::optional<QRect> clip = m_surface->bounds;
  if (m_clip) {
    const QRect own(QPoint(m_clip->left, m_clip->top), QPoint(m_clip->right - 1, m_clip->bottom - 1));
    clip = clip ? clip->intersected(own) : own;
  }
  if (clip)
    p->setClipRect(*clip);
  else
    p->setClipping(false);
  return p;
}

CPoint CDC::MoveTo(int x, int y) {
  const CPoint old = m_pos;
  m_pos = CPoint(x, y);
  m_dashPhase = 0;
  return old;
}

bool CDC::LineTo(int x, int y) {
  const CPoint from = m_pos;
  m_pos = CPoint(x, y);
  if (hooks::DrawLog* log = hooks::drawLog()) {
    hooks::DrawOp op{hooks::DrawOp::Kind::Line, from.x, from.y, x, y, m_pen->m_color, m_bk,
                     m_pen->m_style, m_pen->m_width, {}};
    log->ops.push_back(op);
  }
  // The end point is not part of a line: a line of zero length draws nothing.
  if (from == m_pos) return true;
  if (QPainter* p = Painter()) {
    p->setPen(toQPen(*m_pen, m_dashPhase));
    p->setBackgroundMode(m_bkMode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    p->setBackground(QBrush(detail::toQColor(m_bk)));
    p->drawLine(from.x, from.y, x, y);
  }
  if (const double* d = dashPattern(*m_pen)) {
    const double length = std::hypot(double(x - from.x), double(y - from.y));
    m_dashPhase = std::fmod(m_dashPhase + length, d[0] + d[1]);
  }
  return true;
}

namespace {

QFont fontOf(const CFont* f) {
  QFont font = detail::deviceFont();
  if (f && f->m_height > 0) font.setPixelSize(f->m_height);
  return font;
}

double stretchOf(const CFont* f) { return f ? f->m_stretch / 100.0 : 1.0; }

}  // namespace

bool CDC::TextOut(int x, int y, const char* text, int nCount) {
  if (!text || nCount <= 0) return true;
  const auto n = static_cast<int>(strnlen(text, static_cast<std::size_t>(nCount)));
  const CString s(text, n);
  if (hooks::DrawLog* log = hooks::drawLog()) {
    log->ops.push_back({hooks::DrawOp::Kind::Text, x, y, x, y, m_text, m_bk, 0, 0, s});
  }
  if (QPainter* p = Painter()) {
    const QFont font = fontOf(m_font);
    const QFontMetrics fm(font);
    const QString q = detail::toQString(s);
    const QRect natural(0, 0, fm.horizontalAdvance(q), fm.height());
    const double stretch = stretchOf(m_font);
    const int width = static_cast<int>(std::ceil(natural.width() * stretch));
    if (m_bkMode == OPAQUE) p->fillRect(QRect(x, y, width, natural.height()), detail::toQColor(m_bk));
    // The box is filled above; the painter may hold another context's
    // background from its lines.
    p->save();
    p->setBackgroundMode(Qt::TransparentMode);
    p->setFont(font);
    p->setPen(detail::toQColor(m_text));
    p->translate(x, y);
    p->scale(stretch, 1.0);
    p->drawText(natural, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, q);
    p->restore();
  }
  return true;
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  m_bk = color;
  if (hooks::DrawLog* log = hooks::drawLog()) {
    log->ops.push_back({hooks::DrawOp::Kind::Fill, x, y, x + cx, y + cy, color, color, 0, 0, {}});
  }
  if (QPainter* p = Painter()) p->fillRect(QRect(x, y, cx, cy).normalized(), detail::toQColor(color));
}

CPen* CDC::SelectObject(CPen* pPen) {
  CPen* old = m_pen;
  if (pPen && pPen->IsCreated() && pPen != m_pen) {
    m_pen = pPen;
    m_dashPhase = 0;
  }
  return old;
}

CFont* CDC::SelectObject(CFont* pFont) {
  CFont* old = m_font;
  if (!pFont || pFont->IsCreated()) m_font = pFont;
  return old;
}

void CDC::IntersectClipRect(int x1, int y1, int x2, int y2) {
  CRect r(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
  if (m_clip) {
    r = CRect(std::max(r.left, m_clip->left), std::max(r.top, m_clip->top), std::min(r.right, m_clip->right),
              std::min(r.bottom, m_clip->bottom));
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
  }
  m_clip = r;
}

void CDC::SelectClipRgn(std::nullptr_t) { m_clip.reset(); }

COLORREF CDC::SetBkColor(COLORREF color) { return std::exchange(m_bk, color); }
COLORREF CDC::SetTextColor(COLORREF color) { return std::exchange(m_text, color); }
int CDC::SetBkMode(int mode) { return std::exchange(m_bkMode, mode); }

CSize CDC::GetTextExtent(const char* text, int nCount) const {
  if (!QGuiApplication::instance() || !text || nCount <= 0) return {};
  const auto n = static_cast<int>(strnlen(text, static_cast<std::size_t>(nCount)));
  const QFontMetrics fm(fontOf(m_font));
  const int natural = fm.horizontalAdvance(QString::fromLocal8Bit(text, n));
  return {static_cast<int>(std::ceil(natural * stretchOf(m_font))), fm.height()};
}

CSiblingDC::CSiblingDC(const CDC& other) {
  AttachSurface(SurfaceOf(other));
  m_bPrinting = other.IsPrinting();
}

CClientDC::CClientDC(CWnd* pWnd) : m_wnd(pWnd) {
  if (pWnd && pWnd->HasWindow()) {
    detail::WndImpl& d = detail::WndAccess::impl(*pWnd);
    d.surface.resize(d.widget->width(), d.widget->height(), d.background);
    AttachSurface(&d.surface);
  }
}

CClientDC::~CClientDC() {
  // Show what was drawn without asking the window to paint again.
  if (m_wnd && m_wnd->HasWindow()) detail::WndAccess::impl(*m_wnd).widget->update();
}

CPaintDC::CPaintDC(CWnd* pWnd) {
  if (pWnd && pWnd->HasWindow()) {
    detail::WndImpl& d = detail::WndAccess::impl(*pWnd);
    d.invalid = false;
    AttachSurface(&d.surface);
  }
}

}  // namespace winlayer
