// Device contexts and pens.  A device context draws into the backing image
// of a window (or any drawing surface) with these conventions: integer pixel
// positions, a current position for MoveTo/LineTo, the current pen, a text
// colour and a background colour that opaque text and the gaps of dashed
// lines are filled with, and FillSolidRect setting that background colour.
// Pens of a width above 1 are always solid, whatever style they were created
// with: plots join their marks with such pens and rely on an unbroken line.
// The context of a print job draws onto a printer page.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "frontend/winlayer/cmdtarget.hpp"

namespace winlayer {

class CWnd;

namespace detail {
struct Surface;
}
}  // namespace winlayer
class QPainter;
namespace winlayer {

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// A pen or font: usable once created, until deleted.
class CGdiObject : public CObject {
 public:
  bool DeleteObject();
  bool IsCreated() const { return m_created; }

 protected:
  bool m_created = false;
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
  // False for an unknown style or a negative width; the pen stays unusable.
  bool CreatePen(int nPenStyle, int nWidth, COLORREF crColor);

  int m_style = PS_SOLID;
  int m_width = 1;
  COLORREF m_color = 0;
};

// A font of the device's face: nHeight pixels high (0 for the device's own
// size), its characters pressed together (nStretch below 100 percent of
// the face's width) or spread apart.
class CFont : public CGdiObject {
 public:
  // False for a negative height or a stretch outside 1 to 1000 percent.
  bool CreateFont(int nHeight, int nStretch = 100);

  int m_height = 0;
  int m_stretch = 100;
};

class CDC : public CObject {
 public:
  CDC();
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  CPoint MoveTo(int x, int y);
  bool LineTo(int x, int y);
  bool TextOut(int x, int y, const char* text, int nCount);
  bool TextOut(int x, int y, const CString& text) { return TextOut(x, y, text, text.GetLength()); }
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  // Selecting a pen or font that was never created keeps the current one.
  // The context starts with the device's own font, which null stands for.
  CPen* SelectObject(CPen* pPen);
  CFont* SelectObject(CFont* pFont);
  // Keeps drawing inside the rectangle (and inside any clip set before);
  // SelectClipRgn(nullptr) lets it reach the whole surface again.
  void IntersectClipRect(int x1, int y1, int x2, int y2);
  void SelectClipRgn(std::nullptr_t);
  COLORREF SetBkColor(COLORREF color);
  COLORREF SetTextColor(COLORREF color);
  int SetBkMode(int mode);
  COLORREF GetBkColor() const { return m_bk; }
  COLORREF GetTextColor() const { return m_text; }
  CPoint GetCurrentPosition() const { return m_pos; }
  CSize GetTextExtent(const char* text, int nCount) const;
  // True for the context of a print job (or of its preview).
  bool IsPrinting() const { return m_bPrinting; }

 protected:
  void AttachSurface(detail::Surface* surface);
  static detail::Surface* SurfaceOf(const CDC& dc) { return dc.m_surface; }
  bool m_bPrinting = false;

 private:
  // The surface's painter, clipped as this context is.
  QPainter* Painter() const;
  detail::Surface* m_surface = nullptr;
  CPen m_stockPen{PS_SOLID, 1, 0};
  CPen* m_pen = &m_stockPen;
  CFont* m_font = nullptr;
  std::optional<CRect> m_clip;
  CPoint m_pos;
  // Where in its dash pattern the pen stands at m_pos (pixels): a polyline
  // drawn as many short LineTo calls keeps its dashes going across segments.
  double m_dashPhase = 0;
  COLORREF m_text = 0;
  COLORREF m_bk = RGB(255, 255, 255);
  int m_bkMode = OPAQUE;
};

// A second context drawing where another one draws (a window or a printer
// page), with a pen, colours and position of its own, as a window's client
// context stands beside its paint context: what is drawn through one leaves
// the other's background and text colours as they were.
class CSiblingDC : public CDC {
 public:
  explicit CSiblingDC(const CDC& other);
};

// Draws into the client area of a window outside its paint handler.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

 private:
  CWnd* m_wnd;
};

// The context a paint handler draws with; it validates the window.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
};

}  // namespace winlayer
