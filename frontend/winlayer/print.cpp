// Printing: the application's printer settings with their page set-up, the
// print dialog that prepares a job, the print preview window, and the
// device context over a printer page that a view draws its page with.
#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "frontend/winlayer/hooks.hpp"
#include "frontend/winlayer/qtbridge.hpp"
#include "frontend/winlayer/wnd.hpp"

namespace winlayer {

namespace detail {

namespace {

hooks::PrintDialogAnswer& printAnswer() {
  static hooks::PrintDialogAnswer answer;
  return answer;
}

std::optional<hooks::PrintAnswer> answerPrint(hooks::PrintRequest::Kind kind) {
  if (!printAnswer()) return std::nullopt;
  hooks::PrintDialogAnswer answer = printAnswer();  // the hook may replace itself
  return answer(hooks::PrintRequest{kind});
}

// The settings every job starts from: the set-up and the print dialog
// change them, as the person expects the next job to remember.  Kept for
// the life of the process, past the toolkit's application object.
QPrinter& appPrinter() {
  static QPrinter* printer = new QPrinter(QPrinter::HighResolution);
  return *printer;
}

void applyAnswer(QPrinter& printer, const hooks::PrintAnswer& a) {
  if (!a.outputFile.empty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(a.outputFile));
  }
  if (a.landscape) printer.setPageOrientation(*a.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QWidget* mainWidget() {
  CWnd* main = AfxGetMainWnd();
  return main && main->HasWindow() ? WndAccess::impl(*main).widget.data() : nullptr;
}

// A device context over a painter that draws a printer page, as far as the
// window it prints reaches.
class PrinterDC : public CDC {
 public:
  PrinterDC(QPainter& painter, const CRect& window) {
    m_page.lent = &painter;
    m_page.bounds = QRect(window.left, window.top, window.Width(), window.Height());
    AttachSurface(&m_page);
    m_bPrinting = true;
  }
  ~PrinterDC() override { AttachSurface(nullptr); }

 private:
  Surface m_page;
};

}  // namespace

// Runs a view's printing steps on one page of a printer.
struct PrintAccess {
  static bool prepare(CView& v, CPrintInfo& info) { return v.OnPreparePrinting(&info); }

  // The view's client area is scaled to fill the page's printable area, its
  // proportions kept, and what the view draws beyond its client area stays
  // off the page as it stays off the screen: the page looks as the window
  // does.  False when the printer (or its output file) cannot be opened.
  static bool printPage(CView& v, QPrinter& printer, CPrintInfo info) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    CRect client;
    v.GetClientRect(&client);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    if (client.Width() > 0 && client.Height() > 0) {
      const double scale = std::min(page.width() / client.Width(), page.height() / client.Height());
      painter.scale(scale, scale);
    }
    info.m_rectDraw = client;
    {
      PrinterDC dc(painter, client);
      v.OnBeginPrinting(&dc, &info);
      v.OnPrint(&dc, &info);
      v.OnEndPrinting(&dc, &info);
    }
    return painter.end();
  }

  static void printOrSay(CView& v, QPrinter& printer, const CPrintInfo& info) {
    if (printPage(v, printer, info)) return;
    const QString target = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    AfxMessageBox(fromQString(QStringLiteral("Cannot print to %1.").arg(target)), MB_OK | MB_ICONEXCLAMATION);
  }
};

}  // namespace detail

namespace hooks {
void setPrintDialogAnswer(PrintDialogAnswer answer) { detail::printAnswer() = std::move(answer); }
}  // namespace hooks

bool CView::DoPreparePrinting(CPrintInfo* pInfo) {
  if (pInfo && pInfo->m_bPreview) return true;  // the preview window asks when it prints
  QPrinter& printer = detail::appPrinter();
  if (auto answer = detail::answerPrint(hooks::PrintRequest::Kind::Print)) {
    if (answer->accept) detail::applyAnswer(printer, *answer);
    return answer->accept;
  }
  QPrintDialog dlg(&printer, detail::mainWidget());
  return dlg.exec() == QDialog::Accepted;
}

void CView::OnFilePrint() {
  CPrintInfo info;
  if (!detail::PrintAccess::prepare(*this, info)) return;
  detail::PrintAccess::printOrSay(*this, detail::appPrinter(), info);
}

void CView::OnFilePrintPreview() {
  CPrintInfo info;
  info.m_bPreview = true;
  if (!detail::PrintAccess::prepare(*this, info)) return;
  QPrinter& printer = detail::appPrinter();
  QPrintPreviewDialog dlg(&printer, detail::mainWidget());
  // The window draws its page whenever it needs it, and again on paper when
  // the person prints from it.
  QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                   [this, &info](QPrinter* target) { detail::PrintAccess::printPage(*this, *target, info); });
  if (!detail::printAnswer()) {
    dlg.exec();
    return;
  }
  dlg.show();  // draws the page into the window
  const auto answer = detail::answerPrint(hooks::PrintRequest::Kind::Preview);
  dlg.close();
  if (!answer || !answer->accept) return;
  detail::applyAnswer(printer, *answer);
  detail::PrintAccess::printOrSay(*this, printer, info);
}

void CWinApp::OnFilePrintSetup() {
  QPrinter& printer = detail::appPrinter();
  if (auto answer = detail::answerPrint(hooks::PrintRequest::Kind::Setup)) {
    if (answer->accept) detail::applyAnswer(printer, *answer);
    return;
  }
  QPageSetupDialog dlg(&printer, detail::mainWidget());
  dlg.exec();
}

}  // namespace winlayer
