#include "frontend/winlayer/dialog.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "frontend/winlayer/hooks.hpp"
#include "frontend/winlayer/platform.hpp"
#include "frontend/winlayer/qtbridge.hpp"

namespace winlayer {

namespace detail {

namespace {

struct ExchangeFailed {};

hooks::MessageBoxLog*& messageLog() {
  static hooks::MessageBoxLog* log = nullptr;
  return log;
}

hooks::DialogHook& dialogHook() {
  static hooks::DialogHook hook;
  return hook;
}

hooks::FileDialogAnswer& fileAnswer() {
  static hooks::FileDialogAnswer answer;
  return answer;
}

// A dialog unit across is 1.5 pixels and down 1.625 pixels with the
// dialog font: a quarter and an eighth of its character cell.
int duX(int du) { return (du * 3 + 1) / 2; }
int duY(int du) { return (du * 13 + 4) / 8; }

class DialogWidget : public Forwarder<QDialog> {
 public:
  DialogWidget(CDialog* owner, QWidget* parent) : Forwarder<QDialog>(owner, parent), m_dlg(owner) {}
  // Escape and the close box send the cancel command through the dialog's
  // message map; the dialog closes only when its handler ends it.
  void reject() override {
    if (m_dlg) DialogAccess::route(*m_dlg, IDCANCEL);
  }

 protected:
  // Enter in a dialog without a default button (a dialog that only draws)
  // sends OK: the keyboard can accept such a dialog as Escape cancels it.
  void keyPressEvent(QKeyEvent* e) override {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && m_dlg && !hasDefaultButton()) {
      DialogAccess::route(*m_dlg, IDOK);
      return;
    }
    Forwarder<QDialog>::keyPressEvent(e);
  }

 private:
  bool hasDefaultButton() const {
    for (const QPushButton* b : findChildren<QPushButton*>())
      if (b->isDefault() && b->isVisible()) return true;
    return false;
  }

 public:
  CDialog* m_dlg;
};

// The dialog font is wider than the one the templates were laid out for,
// so a control too small for its text grows to it: a one-line text wraps
// onto the lines it needs below, a wrapped text grows down, a button or
// check box grows across.
void fitToText(QWidget* w) {
  if (auto* l = qobject_cast<QLabel*>(w)) {
    if (l->text().isEmpty()) return;
    if (!l->wordWrap() && l->sizeHint().width() > l->width()) l->setWordWrap(true);
    if (l->wordWrap()) w->resize(w->width(), std::max(w->height(), l->heightForWidth(w->width())));
    return;
  }
  if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w))
    w->resize(std::max(w->width(), w->sizeHint().width()), w->height());
}

QWidget* buildControl(const DialogControl& c, QWidget* parent) {
  const QString text = toQString(c.text);
  QWidget* w = nullptr;
  switch (c.kind) {
    case ControlKind::Static: {
      auto* l = new QLabel(text, parent);
      l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      l->setWordWrap(c.cy > 10);
      w = l;
      break;
    }
    case ControlKind::Edit: w = new QLineEdit(parent); break;
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
      auto* b = new QPushButton(text, parent);
      b->setAutoDefault(false);
      b->setDefault(c.kind == ControlKind::DefPushButton);
      w = b;
      break;
    }
    case ControlKind::CheckBox: w = new QCheckBox(text, parent); break;
    case ControlKind::GroupBox: w = new QGroupBox(text, parent); break;
    case ControlKind::Icon: {
      auto* l = new QLabel(parent);
      l->setPixmap(iconPixmap(static_cast<UINT>(std::atoi(c.text)), 32));
      w = l;
      break;
    }
  }
  w->setGeometry(duX(c.x), duY(c.y), duX(c.cx), duY(c.cy));
  fitToText(w);
  if (c.kind == ControlKind::GroupBox) w->lower();
  return w;
}

}  // namespace

QWidget* DialogAccess::control(const CDialog& d, int id) {
  const DialogImpl* impl = d.m_dlg.get();
  if (!impl) return nullptr;
  const auto it = impl->controls.find(id);
  return it == impl->controls.end() ? nullptr : it->second;
}

int messageBox(QWidget* parent, const char* text, const char* caption, UINT type) {
  if (hooks::MessageBoxLog* log = messageLog()) {
    log->boxes.push_back({CString(text), CString(caption), type});
    return log->answer;
  }
  if (!QApplication::instance()) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
  }
  QMessageBox box(parent);
  box.setWindowTitle(toQString(caption));
  box.setText(toQString(text));
  switch (type & 0xF0) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  switch (type & 0xF) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
  }
}

bool runDialogHook(CDialog& dlg) {
  if (!dialogHook()) return false;
  DialogImpl* impl = DialogAccess::impl(dlg);
  if (QWidget* w = WndAccess::impl(dlg).widget) w->show();
  hooks::DialogDriver driver(dlg);
  // Copy: the hook may replace itself while it runs.
  hooks::DialogHook hook = dialogHook();
  hook(driver);
  if (!impl->ended) driver.pressEscape();
  if (!impl->ended) dlg.EndDialog(IDCANCEL);
  return true;
}

std::optional<std::optional<std::string>> answerFileDialog(const hooks::FileDialogRequest& request) {
  if (!fileAnswer()) return std::nullopt;
  hooks::FileDialogAnswer answer = fileAnswer();
  return answer(request);
}

}  // namespace detail

namespace hooks {
void setMessageBoxLog(MessageBoxLog* log) { detail::messageLog() = log; }
void setDialogHook(DialogHook hook) { detail::dialogHook() = std::move(hook); }
void setFileDialogAnswer(FileDialogAnswer answer) { detail::fileAnswer() = std::move(answer); }
}  // namespace hooks

// ------------------------------------------------------- data exchange

CString FormatDDXValue(int value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d", value);
  return buf;
}

CString FormatDDXValue(float value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", FLT_DIG, static_cast<double>(value));
  return buf;
}

CString FormatDDXValue(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", DBL_DIG, value);
  return buf;
}

namespace {

// The value between leading and trailing blanks, or nothing when empty.
std::optional<std::string_view> trimmed(const char* text) {
  if (!text) return std::nullopt;
  std::string_view s(text);
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

}  // namespace

std::optional<int> ParseDDXInt(const char* text) {
  auto s = trimmed(text);
  if (!s) return std::nullopt;
  std::string_view v = *s;
  if (v.front() == '+') v.remove_prefix(1);
  int value = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseDDXDouble(const char* text) {
  auto s = trimmed(text);
  if (!s) return std::nullopt;
  // Plain decimal notation only: no names of infinities, no hexadecimal.
  if (s->find_first_not_of("0123456789+-.eE") != std::string_view::npos) return std::nullopt;
  std::string_view v = *s;
  if (v.front() == '+') v.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (ec != std::errc() || end != v.data() + v.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<float> ParseDDXFloat(const char* text) {
  const auto d = ParseDDXDouble(text);
  if (!d || std::fabs(*d) > static_cast<double>(FLT_MAX)) return std::nullopt;
  return static_cast<float>(*d);
}

void CDataExchange::Undo() {
  for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it) (*it)();
  m_undo.clear();
}

void CDataExchange::Fail() {
  if (QWidget* w = detail::DialogAccess::control(*m_pDlgWnd, m_idLastControl)) {
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
  }
  throw detail::ExchangeFailed{};
}

namespace {

void failWith(CDataExchange* pDX, const char* message) {
  AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
  pDX->Fail();
}

void requireControl(CDataExchange* pDX, int nIDC) {
  if (!pDX->m_pDlgWnd->HasControl(nIDC))
    throw std::logic_error("dialog " + std::to_string(pDX->m_pDlgWnd->GetTemplateId()) + " has no control " +
                           std::to_string(nIDC));
  pDX->m_idLastControl = nIDC;
}

}  // namespace

namespace {

template <class T, class Parse>
void exchangeNumber(CDataExchange* pDX, int nIDC, T& value, Parse parse, const char* message) {
  requireControl(pDX, nIDC);
  if (!pDX->m_bSaveAndValidate) {
    pDX->m_pDlgWnd->SetDlgItemText(nIDC, FormatDDXValue(value));
    return;
  }
  const auto v = parse(pDX->m_pDlgWnd->GetDlgItemText(nIDC));
  if (!v) failWith(pDX, message);
  pDX->Stored(value, value);
  value = *v;
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  exchangeNumber(pDX, nIDC, value, ParseDDXInt, "Please enter an integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
  exchangeNumber(pDX, nIDC, value, ParseDDXFloat, "Please enter a number.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  exchangeNumber(pDX, nIDC, value, ParseDDXDouble, "Please enter a number.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  requireControl(pDX, nIDC);
  if (pDX->m_bSaveAndValidate) {
    pDX->Stored(value, value);
    value = pDX->m_pDlgWnd->GetDlgItemText(nIDC);
  } else
    pDX->m_pDlgWnd->SetDlgItemText(nIDC, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  requireControl(pDX, nIDC);
  if (pDX->m_bSaveAndValidate) {
    pDX->Stored(value, value);
    value = pDX->m_pDlgWnd->IsDlgButtonChecked(nIDC);
  } else
    pDX->m_pDlgWnd->CheckDlgButton(nIDC, value);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  char buf[96];
  std::snprintf(buf, sizeof buf, "Please enter an integer between %d and %d.", minVal, maxVal);
  failWith(pDX, buf);
}

// ---------------------------------------------------------------- CDialog

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

bool CDialog::ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
  static const CommandEntry<CDialog> commands[] = {
      {IDOK, &CDialog::OnOK},
      {IDCANCEL, &CDialog::OnCancel},
  };
  return RouteThroughMap(*this, MessageMap<CDialog>{commands}, nID, pCmdUI);
}

int CDialog::DoModal() {
  const DialogTemplate* t = AfxFindDialog(m_nIDTemplate);
  if (!t || !QApplication::instance()) return -1;
  QWidget* parent = nullptr;
  CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  if (owner && owner->HasWindow()) parent = detail::WndAccess::impl(*owner).widget;

  m_dlg = std::make_unique<detail::DialogImpl>();
  auto* w = new detail::DialogWidget(this, parent);
  w->setFont(detail::dialogFont());
  w->setWindowTitle(detail::toQString(t->caption));
  w->setFixedSize(detail::duX(t->cx), detail::duY(t->cy));
  w->setModal(true);
  detail::WndAccess::attach(*this, w, true, w->palette().window().color());
  for (const DialogControl& c : t->controls) {
    QWidget* cw = detail::buildControl(c, w);
    if (c.id == IDC_STATIC) continue;
    cw->setObjectName(QString::number(c.id));  // scripts find a control by its id
    m_dlg->controls.emplace(c.id, cw);
    if (auto* b = qobject_cast<QAbstractButton*>(cw)) {
      const int id = c.id;
      QObject::connect(b, &QAbstractButton::clicked, w, [this, id] { OnCmdMsg(static_cast<UINT>(id), nullptr); });
    }
  }
  OnInitDialog();
  if (!detail::runDialogHook(*this)) {
    m_dlg->inExec = true;
    w->exec();
    m_dlg->inExec = false;
  }
  const int result = m_dlg->result;
  detail::WndAccess::attach(*this, nullptr, false, QColor());
  m_dlg.reset();
  return result;
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

bool CDialog::UpdateData(bool bSaveAndValidate) {
  if (!m_dlg) return false;
  CDataExchange dx(this, bSaveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const detail::ExchangeFailed&) {
    dx.Undo();
    return false;
  }
  return true;
}

void CDialog::EndDialog(int nResult) {
  if (!m_dlg) return;
  m_dlg->ended = true;
  m_dlg->result = nResult;
  if (auto* w = qobject_cast<QDialog*>(detail::WndAccess::impl(*this).widget.data())) {
    if (m_dlg->inExec)
      w->QDialog::done(nResult);
    else
      w->hide();
  }
}

bool CDialog::HasEnded() const { return m_dlg && m_dlg->ended; }

void CDialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::SetDlgItemText(int nID, const char* text) {
  QWidget* w = detail::DialogAccess::control(*this, nID);
  const QString q = detail::toQString(text);
  if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(q);
  else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(q);
  else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(q);
  else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(q);
}

CString CDialog::GetDlgItemText(int nID) const {
  QWidget* w = detail::DialogAccess::control(*this, nID);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return detail::fromQString(e->text());
  if (auto* l = qobject_cast<QLabel*>(w)) return detail::fromQString(l->text());
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return detail::fromQString(b->text());
  if (auto* g = qobject_cast<QGroupBox*>(w)) return detail::fromQString(g->title());
  return {};
}

int CDialog::IsDlgButtonChecked(int nID) const {
  auto* b = qobject_cast<QAbstractButton*>(detail::DialogAccess::control(*this, nID));
  return b && b->isChecked() ? 1 : 0;
}

void CDialog::CheckDlgButton(int nID, int nCheck) {
  if (auto* b = qobject_cast<QAbstractButton*>(detail::DialogAccess::control(*this, nID))) b->setChecked(nCheck != 0);
}

bool CDialog::HasControl(int nID) const { return detail::DialogAccess::control(*this, nID) != nullptr; }

// ------------------------------------------------------------ CFileDialog

CFileDialog::CFileDialog(bool bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog),
      m_defExt(lpszDefExt),
      m_fileName(lpszFileName),
      m_flags(dwFlags),
      m_filter(lpszFilter) {
  (void)pParentWnd;  // the dialog is always owned by the main window
}

namespace {

// "desc|pattern|desc|pattern||" as the toolkit's filter list.  The pattern
// is appended in brackets and the toolkit told to hide it, so that the
// description shows as written and the pattern is the one that filters.
QStringList toolkitFilters(const std::string& filter) {
  QStringList out;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < filter.size()) {
    const auto bar = filter.find('|', start);
    if (bar == std::string::npos) break;
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty()) break;
    QString pattern = QString::fromStdString(parts[i + 1]).replace(';', ' ');
    out << QString::fromStdString(parts[i]) + QStringLiteral(" (") + pattern + QStringLiteral(")");
  }
  return out;
}

}  // namespace

int CFileDialog::DoModal() {
  const hooks::FileDialogRequest request{m_bOpenFileDialog, m_filter, m_defExt, m_fileName, m_flags};
  std::optional<std::string> chosen;
  if (auto answer = detail::answerFileDialog(request)) {
    chosen = *answer;
  } else if (QApplication::instance()) {
    CWnd* main = AfxGetMainWnd();
    QWidget* parent = main && main->HasWindow() ? detail::WndAccess::impl(*main).widget.data() : nullptr;
    QFileDialog dlg(parent, m_bOpenFileDialog ? QStringLiteral("Open") : QStringLiteral("Save As"),
                    QDir::currentPath());
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setOption(QFileDialog::HideNameFilterDetails, true);
    dlg.setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dlg.setFileMode(m_bOpenFileDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = toolkitFilters(m_filter.str());
    if (!filters.isEmpty()) dlg.setNameFilters(filters);
    if (!m_fileName.IsEmpty()) dlg.selectFile(detail::toQString(m_fileName));
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
      chosen = dlg.selectedFiles().front().toStdString();
  }
  if (!chosen || chosen->empty()) return IDCANCEL;
  QFileInfo info(QString::fromStdString(NativePath(*chosen)));
  QString path = info.absoluteFilePath();
  if (!m_bOpenFileDialog && !m_defExt.IsEmpty() && info.suffix().isEmpty())
    path += QStringLiteral(".") + detail::toQString(m_defExt);
  m_path = detail::fromQString(path);
  SetCurrentDirectoryA(detail::fromQString(info.absolutePath()));
  return IDOK;
}

CString CFileDialog::GetFileName() const {
  return detail::fromQString(QFileInfo(detail::toQString(m_path)).fileName());
}

}  // namespace winlayer
