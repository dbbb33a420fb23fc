// Windows of the document/view application: the window base, the view, the
// document, the frame window with its control bars, the single-document
// template that creates document, frame and view, and the application object.
//
// Command routing: a command first reaches the active view, then its
// document, then the frame, then the application; each looks in its class's
// message map and then in its base classes' maps (ProcessMessageMap).
#pragma once

#include <cstdio>
#include <memory>
#include <vector>

#include "frontend/winlayer/cmdtarget.hpp"
#include "frontend/winlayer/gdi.hpp"
#include "frontend/winlayer/resources.hpp"

namespace winlayer {

namespace detail {
struct WndImpl;
struct WndAccess;
struct FrameImpl;
struct BarImpl;
struct PrintAccess;
}  // namespace detail

class CDocument;
class CFrameWnd;
class CView;
class CWinApp;

class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override { return ProcessMessageMap(nID, pCmdUI); }

  // Marks the whole client area for repainting (erasing it first).
  void Invalidate(BOOL bErase = 1);
  void InvalidateRect(const CRect* lpRect, BOOL bErase = 1);
  // Repaints now when something is marked and the window is shown.
  void UpdateWindow();
  void GetClientRect(CRect* lpRect) const;
  BOOL ShowWindow(int nCmdShow);
  void SetWindowText(const char* text);
  CString GetWindowText() const;
  int MessageBox(const char* text, const char* caption = nullptr, UINT nType = MB_OK);
  bool HasWindow() const;

 protected:
  // This class's message map, then its bases'.
  virtual bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
    (void)nID;
    (void)pCmdUI;
    return false;
  }
  virtual void OnPaint();
  virtual void OnSize(UINT nType, int cx, int cy);
  virtual void OnLButtonDown(UINT nFlags, CPoint point);
  virtual void OnRButtonDown(UINT nFlags, CPoint point);

 private:
  friend struct detail::WndAccess;
  std::unique_ptr<detail::WndImpl> m_impl;
};

class CArchive {
 public:
  CArchive(std::FILE* file, bool storing) : m_file(file), m_storing(storing) {}
  bool IsStoring() const { return m_storing; }
  bool IsLoading() const { return !m_storing; }
  std::FILE* GetFile() const { return m_file; }

 private:
  std::FILE* m_file;
  bool m_storing;
};

class CDocTemplate;

class CDocument : public CCmdTarget {
 public:
  bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override { return ProcessMessageMap(nID, pCmdUI); }
  virtual bool OnNewDocument();
  virtual bool OnOpenDocument(const char* pathName);
  virtual bool OnSaveDocument(const char* pathName);
  virtual void DeleteContents() {}
  virtual void Serialize(CArchive& ar) { (void)ar; }

  void SetPathName(const char* pathName);
  const CString& GetPathName() const { return m_strPathName; }
  const CString& GetTitle() const { return m_strTitle; }
  void SetTitle(const char* title);
  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool bModified = true) { m_bModified = bModified; }
  CView* GetFirstView() const { return m_view; }

  // The layer's own command: save under the current name, or ask for one.
  void OnFileSave();

 protected:
  virtual bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI);

 private:
  friend class CSingleDocTemplate;
  friend class CView;
  friend class CFrameWnd;
  CString m_strPathName;
  CString m_strTitle;
  bool m_bModified = false;
  CView* m_view = nullptr;
  CDocTemplate* m_pDocTemplate = nullptr;
};

// What a view is told of the print job it draws.  A view prints one page.
struct CPrintInfo {
  bool m_bPreview = false;  // the job was started from the print preview
  UINT m_nCurPage = 1;
  // The area of the page the view draws into, in its own client
  // coordinates: the page is scaled so that the client area fills it.
  CRect m_rectDraw;
};

class CView : public CWnd {
 public:
  bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override;
  virtual void OnDraw(CDC* pDC) = 0;
  // Called after the window exists and after every new or opened document.
  virtual void OnInitialUpdate();
  CDocument* GetDocument() const { return m_pDocument; }

  // The print commands, handled by the layer itself.  Printing asks
  // OnPreparePrinting first, then draws the page: OnBeginPrinting, OnPrint,
  // OnEndPrinting, on a context over the printer.  The preview shows that page in a window of
  // its own, from which it can be printed.
  void OnFilePrint();
  void OnFilePrintPreview();

 protected:
  void OnPaint() override;
  // A view prints only when it prepares for it: false cancels the job.
  virtual bool OnPreparePrinting(CPrintInfo* pInfo) {
    (void)pInfo;
    return false;
  }
  // The print dialog over the application's printer settings (none for the
  // preview).  False when the person cancels it.
  bool DoPreparePrinting(CPrintInfo* pInfo);
  virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) {
    (void)pDC;
    (void)pInfo;
  }
  virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo) {
    (void)pInfo;
    OnDraw(pDC);
  }
  virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {
    (void)pDC;
    (void)pInfo;
  }

 private:
  friend class CSingleDocTemplate;
  friend class CFrameWnd;
  friend struct detail::PrintAccess;
  CDocument* m_pDocument = nullptr;
};

struct CCreateContext {
  const CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
};

struct CREATESTRUCT {
  int x = 0, y = 0, cx = 0, cy = 0;
  DWORD style = 0;
  CString lpszName;
};
using LPCREATESTRUCT = CREATESTRUCT*;

class CControlBar : public CWnd {
 public:
  ~CControlBar() override;
  void EnableDocking(DWORD dwDockStyle);
  UINT GetDlgCtrlID() const { return m_nID; }
  bool IsVisible() const;
  void SetVisible(bool visible);

 protected:
  friend class CFrameWnd;
  UINT m_nID = 0;
  CFrameWnd* m_frame = nullptr;
  DWORD m_dockStyle = 0;
};

class CToolBar : public CControlBar {
 public:
  bool CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID);
  bool LoadToolBar(UINT nIDResource);
  int GetCount() const { return static_cast<int>(m_buttons.size()); }
  UINT GetItemID(int nIndex) const { return m_buttons.at(static_cast<std::size_t>(nIndex)).id; }
  const ToolBarButton& GetButton(int nIndex) const { return m_buttons.at(static_cast<std::size_t>(nIndex)); }
  CSize GetButtonSize() const { return m_buttonSize; }

 private:
  std::vector<ToolBarButton> m_buttons;
  CSize m_buttonSize;
};

class CStatusBar : public CControlBar {
 public:
  bool Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
              UINT nID = AFX_IDW_STATUS_BAR);
  // Panes in order; a pane's width comes from the string of its id, the
  // separator pane (ID_SEPARATOR) takes the room that is left.  False when a
  // pane other than the separator has no string.
  bool SetIndicators(const UINT* lpIDArray, int nIDCount);
  int GetCount() const { return static_cast<int>(m_ids.size()); }
  UINT GetItemID(int nIndex) const { return m_ids.at(static_cast<std::size_t>(nIndex)); }
  CString GetPaneText(int nIndex) const;
  void SetPaneText(int nIndex, const char* text);

 private:
  std::vector<UINT> m_ids;
};

class CFrameWnd : public CWnd {
 public:
  CFrameWnd();
  ~CFrameWnd() override;

  bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override;
  // Creates the window with the menu, accelerators, icon and title of
  // resource nIDResource, then calls OnCreate.  False when OnCreate fails.
  bool LoadFrame(UINT nIDResource, CCreateContext* pContext);
  virtual bool PreCreateWindow(CREATESTRUCT& cs);

  void EnableDocking(DWORD dwDockStyle);
  void DockControlBar(CControlBar* pBar);
  CView* GetActiveView() const { return m_view.get(); }
  CDocument* GetActiveDocument() const;
  CControlBar* GetControlBar(UINT nID) const;
  CStatusBar* GetStatusBar() const;
  // Brings the status panes and menu items up to date; called whenever the
  // event queue runs empty, so that they follow the application's state
  // without being told.
  void OnIdleUpdateCmdUI();
  // Shows a prompt (or the idle text) in the status bar's separator pane.
  void SetMessageText(const char* text);

  // Commands of the View menu that the layer handles itself.
  void OnBarCheckToolBar();
  void OnBarCheckStatusBar();
  void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  void OnUpdateKeyIndicator(CCmdUI* pCmdUI);

 protected:
  // Base: creates the view of the create context.
  virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;

 private:
  friend class CControlBar;
  friend class CToolBar;
  friend class CStatusBar;
  friend struct detail::WndAccess;
  std::unique_ptr<detail::FrameImpl> m_frameImpl;
  std::unique_ptr<CView> m_view;
  std::vector<CControlBar*> m_bars;
};

class CDocTemplate : public CCmdTarget {
 public:
  enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
  CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
               const CRuntimeClass* pViewClass);
  ~CDocTemplate() override;
  // Field of the document-template string (fields separated by '\n').
  CString GetDocString(DocStringIndex index) const;
  // Null path: a new document.  Returns null on failure.
  virtual CDocument* OpenDocumentFile(const char* pathName) = 0;

 protected:
  UINT m_nIDResource;
  const CRuntimeClass* m_pDocClass;
  const CRuntimeClass* m_pFrameClass;
  const CRuntimeClass* m_pViewClass;
};

class CSingleDocTemplate : public CDocTemplate {
 public:
  using CDocTemplate::CDocTemplate;
  ~CSingleDocTemplate() override;
  CDocument* OpenDocumentFile(const char* pathName) override;
  CDocument* GetDocument() const { return m_doc.get(); }
  CFrameWnd* GetFrame() const { return m_frame.get(); }

 private:
  bool CreateDocumentAndFrame();
  void UpdateFrameTitle();
  std::unique_ptr<CDocument> m_doc;
  std::unique_ptr<CFrameWnd> m_frame;
};

class CCommandLineInfo {
 public:
  enum { FileNew, FileOpen, FileNothing };
  virtual ~CCommandLineInfo() = default;
  virtual void ParseParam(const char* param, bool bFlag, bool bLast);
  int m_nShellCommand = FileNew;
  CString m_strFileName;
};

class CWinApp : public CCmdTarget {
 public:
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override { return ProcessMessageMap(nID, pCmdUI); }
  virtual bool InitInstance() { return true; }
  virtual int ExitInstance() { return 0; }

  void Enable3dControls() {}  // controls always have the toolkit's look: nothing to enable
  void SetRegistryKey(const char* company);
  void LoadStdProfileSettings(UINT nMaxMRU = 4);
  void AddDocTemplate(CDocTemplate* pTemplate);  // takes ownership
  void ParseCommandLine(CCommandLineInfo& info);
  bool ProcessShellCommand(CCommandLineInfo& info);
  virtual void AddToRecentFileList(const char* pathName);
  const std::vector<CString>& GetRecentFileList() const { return m_recent; }
  CDocTemplate* GetFirstDocTemplate() const;
  // Destroys every document with its frame and view.
  void CloseAllDocuments();

  // Commands the layer handles itself.
  void OnFileNew();
  void OnFileOpen();
  // The page set-up of the printer settings that every print job starts from.
  void OnFilePrintSetup();

  CWnd* m_pMainWnd = nullptr;
  CString m_pszAppName;
  CString m_pszRegistryKey;
  std::vector<CString> m_args;

 protected:
  virtual bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) {
    (void)nID;
    (void)pCmdUI;
    return false;
  }

 private:
  void SaveRecentFileList() const;
  std::vector<std::unique_ptr<CDocTemplate>> m_templates;
  std::vector<CString> m_recent;
  UINT m_nMaxMRU = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
inline void AfxEnableControlContainer() {}  // the layer hosts no embedded controls: nothing to enable
int AfxMessageBox(const char* text, UINT nType = MB_OK, UINT nIDHelp = 0);
// Runs the application object: toolkit set-up, InitInstance, message loop.
int AfxWinMain(int argc, char** argv);

}  // namespace winlayer
