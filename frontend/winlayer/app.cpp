// The application of the window layer: document templates, CWinApp with its
// recent-file list, the message box of the application and the main entry.
#include <QApplication>
#include <QFileInfo>
#include <QSettings>
#include <clocale>

#include "frontend/winlayer/platform.hpp"
#include "frontend/winlayer/qtbridge.hpp"
#include "frontend/winlayer/wnd.hpp"

namespace winlayer {

namespace detail {
int messageBox(QWidget* parent, const char* text, const char* caption, UINT type);
}  // namespace detail

// ------------------------------------------------------ document templates

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass) {}

CDocTemplate::~CDocTemplate() = default;

CString CDocTemplate::GetDocString(DocStringIndex index) const {
  const std::string s = AfxLoadString(m_nIDResource).str();
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    start = s.find('\n', start);
    if (start == std::string::npos) return CString();
    ++start;
  }
  const std::size_t end = s.find('\n', start);
  return CString(s.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

CSingleDocTemplate::~CSingleDocTemplate() {
  m_frame.reset();
  m_doc.reset();
}

bool CSingleDocTemplate::CreateDocumentAndFrame() {
  std::unique_ptr<CObject> docObj(m_pDocClass ? m_pDocClass->CreateObject() : nullptr);
  std::unique_ptr<CObject> frameObj(m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr);
  auto* doc = dynamic_cast<CDocument*>(docObj.get());
  auto* frame = dynamic_cast<CFrameWnd*>(frameObj.get());
  if (!doc || !frame) return false;
  docObj.release();
  frameObj.release();
  m_doc.reset(doc);
  m_frame.reset(frame);
  doc->m_pDocTemplate = this;
  CCreateContext ctx;
  ctx.m_pNewViewClass = m_pViewClass;
  ctx.m_pCurrentDoc = doc;
  if (!frame->LoadFrame(m_nIDResource, &ctx)) {
    m_frame.reset();
    m_doc.reset();
    return false;
  }
  if (CWinApp* app = AfxGetApp(); app && !app->m_pMainWnd) app->m_pMainWnd = frame;
  return true;
}

void CSingleDocTemplate::UpdateFrameTitle() {
  if (!m_frame || !m_doc) return;
  CString title = m_doc->GetTitle();
  if (title.IsEmpty()) title = "Untitled";
  m_frame->SetWindowText(title + " - " + GetDocString(windowTitle));
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* pathName) {
  if (!m_doc && !CreateDocumentAndFrame()) return nullptr;
  CDocument* doc = m_doc.get();
  if (!pathName) {
    doc->SetPathName("");
    doc->SetTitle(GetDocString(docName));
    if (!doc->OnNewDocument()) return nullptr;
  } else {
    if (!doc->OnOpenDocument(pathName)) return nullptr;
    doc->SetPathName(pathName);
    if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(pathName);
  }
  UpdateFrameTitle();
  if (CView* view = m_frame->GetActiveView()) view->OnInitialUpdate();
  return doc;
}

// ------------------------------------------------------------- CWinApp

namespace {
CWinApp*& theApp() {
  static CWinApp* app = nullptr;
  return app;
}

QSettings settingsOf(const CWinApp& app) {
  const CString org = app.m_pszRegistryKey.IsEmpty() ? app.m_pszAppName : app.m_pszRegistryKey;
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, detail::toQString(org),
                   detail::toQString(app.m_pszAppName));
}
}  // namespace

CWinApp* AfxGetApp() { return theApp(); }
CWnd* AfxGetMainWnd() { return theApp() ? theApp()->m_pMainWnd : nullptr; }

void CCommandLineInfo::ParseParam(const char* param, bool bFlag, bool bLast) {
  (void)bLast;
  if (bFlag || !param) return;
  if (m_strFileName.IsEmpty()) {
    m_strFileName = param;
    m_nShellCommand = FileOpen;
  }
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName ? appName : "") { theApp() = this; }

CWinApp::~CWinApp() {
  m_templates.clear();
  if (theApp() == this) theApp() = nullptr;
}

void CWinApp::SetRegistryKey(const char* company) { m_pszRegistryKey = company ? company : ""; }

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
  m_nMaxMRU = nMaxMRU;
  m_recent.clear();
  QSettings s = settingsOf(*this);
  s.beginGroup(QStringLiteral("Recent File List"));
  for (UINT i = 1; i <= nMaxMRU; ++i) {
    const QString v = s.value(QStringLiteral("File%1").arg(i)).toString();
    if (!v.isEmpty()) m_recent.push_back(detail::fromQString(v));
  }
}

void CWinApp::SaveRecentFileList() const {
  QSettings s = settingsOf(*this);
  s.beginGroup(QStringLiteral("Recent File List"));
  s.remove(QString());
  for (std::size_t i = 0; i < m_recent.size(); ++i)
    s.setValue(QStringLiteral("File%1").arg(i + 1), detail::toQString(m_recent[i]));
}

void CWinApp::AddToRecentFileList(const char* pathName) {
  if (m_nMaxMRU == 0 || !pathName || !*pathName) return;
  const CString full(QFileInfo(detail::toQString(pathName)).absoluteFilePath().toStdString());
  std::erase(m_recent, full);
  m_recent.insert(m_recent.begin(), full);
  if (m_recent.size() > m_nMaxMRU) m_recent.resize(m_nMaxMRU);
  SaveRecentFileList();
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
  if (pTemplate) m_templates.emplace_back(pTemplate);
}

CDocTemplate* CWinApp::GetFirstDocTemplate() const { return m_templates.empty() ? nullptr : m_templates.front().get(); }

void CWinApp::CloseAllDocuments() { m_templates.clear(); }

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  for (std::size_t i = 1; i < m_args.size(); ++i) {
    const char* p = m_args[i];
    const bool flag = p[0] == '-' || p[0] == '/';
    info.ParseParam(flag ? p + 1 : p, flag, i + 1 == m_args.size());
  }
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
  CDocTemplate* t = GetFirstDocTemplate();
  if (!t) return false;
  switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew: return t->OpenDocumentFile(nullptr) != nullptr;
    case CCommandLineInfo::FileOpen: return t->OpenDocumentFile(info.m_strFileName) != nullptr;
    default: return true;
  }
}

void CWinApp::OnFileNew() {
  if (CDocTemplate* t = GetFirstDocTemplate()) t->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
  CFileDialog dlg(true, nullptr, nullptr, OFN_HIDEREADONLY, "All Files (*.*)|*.*||");
  if (dlg.DoModal() != IDOK) return;
  if (CDocTemplate* t = GetFirstDocTemplate()) t->OpenDocumentFile(dlg.GetPathName());
}

int AfxMessageBox(const char* text, UINT nType, UINT nIDHelp) {
  (void)nIDHelp;
  CWnd* main = AfxGetMainWnd();
  QWidget* parent = main && main->HasWindow() ? detail::WndAccess::impl(*main).widget.data() : nullptr;
  const CString caption = AfxGetApp() ? AfxGetApp()->m_pszAppName : CString();
  return detail::messageBox(parent, text, caption, nType);
}

namespace detail {
void initGui();
}

int AfxWinMain(int argc, char** argv) {
  QApplication qapp(argc, argv);
  // Parameter files are written and read with '.' as the decimal point.
  std::setlocale(LC_NUMERIC, "C");
  detail::initGui();
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  for (const QString& a : QCoreApplication::arguments()) app->m_args.push_back(detail::fromQString(a));
  if (app->m_pszAppName.IsEmpty()) app->m_pszAppName = AfxLoadString(AFX_IDS_APP_TITLE);
  int code = 0;
  if (app->InitInstance()) {
    hooks::startScriptFromEnvironment();
    QApplication::exec();
  }
  code = app->ExitInstance();
  app->CloseAllDocuments();
  app->m_pMainWnd = nullptr;
  return code;
}

}  // namespace winlayer
