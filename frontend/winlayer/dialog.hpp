// Modal dialogs built from dialog templates, with data exchange between
// controls and members, and the file-open dialog.
//
// Data exchange: DoDataExchange lists the controls and the members they
// show (DDX_Text, DDX_Check) and range checks (DDV_MinMaxInt).  UpdateData
// (false) loads the controls from the members; UpdateData(true) stores the
// controls into the members and fails, after a message box naming what is
// expected, at the first control that does not hold a valid value.  A failed
// store puts every member back as it was, so that a refused value never
// stays behind (and is not kept when the dialog is then left with Escape).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/winlayer/wnd.hpp"

namespace winlayer {

namespace detail {
struct DialogImpl;
struct DialogAccess;
}  // namespace detail

class CDialog;

class CDataExchange {
 public:
  CDataExchange(CDialog* dlg, bool saveAndValidate) : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
  // Abandons the exchange with the focus on the last control exchanged.
  [[noreturn]] void Fail();
  // Remembers how to put a member back should the exchange fail.
  template <class T>
  void Stored(T& member, T previous) {
    m_undo.push_back([&member, previous] { member = previous; });
  }
  void Undo();

  CDialog* m_pDlgWnd;
  bool m_bSaveAndValidate;
  int m_idLastControl = 0;

 private:
  std::vector<std::function<void()>> m_undo;
};

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// Text forms the exchange uses, exposed for tests: an integer in decimal, a
// single-precision number with 6 significant digits, a double with 15.
CString FormatDDXValue(int value);
CString FormatDDXValue(float value);
CString FormatDDXValue(double value);
// Parsers that the exchange uses: blanks around the value are allowed,
// anything else after it is not; numbers must be finite and in range.
std::optional<int> ParseDDXInt(const char* text);
std::optional<float> ParseDDXFloat(const char* text);
std::optional<double> ParseDDXDouble(const char* text);

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Shows the dialog and returns the value passed to EndDialog (IDOK when
  // closed by OK, IDCANCEL by Escape or the window's close box), or -1 when
  // the template is missing.
  virtual int DoModal();
  bool UpdateData(bool bSaveAndValidate = true);
  void EndDialog(int nResult);
  // True once EndDialog has been called during the current showing.
  bool HasEnded() const;
  UINT GetTemplateId() const { return m_nIDTemplate; }

  void SetDlgItemText(int nID, const char* text);
  CString GetDlgItemText(int nID) const;
  int IsDlgButtonChecked(int nID) const;
  void CheckDlgButton(int nID, int nCheck);
  bool HasControl(int nID) const;

 protected:
  virtual bool OnInitDialog();
  virtual void DoDataExchange(CDataExchange* pDX) { (void)pDX; }
  // OK: store and validate, then close with IDOK.  Escape: close with
  // IDCANCEL and store nothing.
  virtual void OnOK();
  virtual void OnCancel();
  bool ProcessMessageMap(UINT nID, CCmdUI* pCmdUI) override;

 private:
  friend struct detail::DialogAccess;
  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  std::unique_ptr<detail::DialogImpl> m_dlg;
};

inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;

// A file dialog over the toolkit's own.  The filter lists
// "description|pattern" pairs separated by '|' and ended by "||".  On OK the
// current directory becomes the folder of the chosen file, so that a caller
// can choose a folder by one of its files, and the bare name of
// GetFileName opens where it was chosen.
class CFileDialog {
 public:
  CFileDialog(bool bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
              DWORD dwFlags = OFN_HIDEREADONLY, const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
  int DoModal();
  CString GetPathName() const { return m_path; }
  CString GetFileName() const;

  bool m_bOpenFileDialog;
  CString m_defExt;
  CString m_fileName;
  DWORD m_flags;
  CString m_filter;

 private:
  CString m_path;
};

}  // namespace winlayer
