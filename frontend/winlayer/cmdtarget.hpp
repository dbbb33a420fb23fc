// Objects that receive commands.  A command is an integer identifier (menu
// item, toolbar button, accelerator, dialog button); each class that takes
// commands keeps a message map, a table from identifier to member function,
// and passes what it does not take on to its base class.  The first entry of
// a table that matches an identifier wins.  Update requests (enable, check,
// set the text of a menu item or status pane) travel the same way.
#pragma once

#include <any>
#include <functional>
#include <span>

#include "frontend/winlayer/afxdefs.hpp"

namespace winlayer {

class CObject {
 public:
  virtual ~CObject() = default;
};

// Names a class and creates its objects: the layer builds the document,
// the frame and the view from these.
struct CRuntimeClass {
  const char* m_lpszClassName;
  CObject* (*m_pfnCreateObject)();
  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

template <class T>
CObject* CreateObjectOf() {
  return new T;
}

// The user-interface element that an update request is about.
class CCmdUI {
 public:
  UINT m_nID = 0;
  UINT m_nIndex = 0;
  virtual ~CCmdUI() = default;
  virtual void Enable(bool bOn = true) { m_bEnabled = bOn; }
  virtual void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }
  virtual void SetText(const char* text) { m_text = text ? text : ""; }

  bool m_bEnabled = true;
  int m_nCheck = 0;
  CString m_text;
};

template <class T>
struct CommandEntry {
  UINT id;
  void (T::*handler)();
};

template <class T>
struct UpdateEntry {
  UINT id;
  void (T::*handler)(CCmdUI*);
};

template <class T>
struct MessageMap {
  std::span<const CommandEntry<T>> commands;
  std::span<const UpdateEntry<T>> updates{};
};

namespace hooks {
// Test hook: told of every command handler that a message map calls, with
// the member-function pointer of the handler (void (T::*)()).
using CommandTrace = std::function<void(UINT id, const std::any& handler)>;
void setCommandTrace(CommandTrace trace);
void traceCommand(UINT id, const std::any& handler);
bool commandTraceActive();
}  // namespace hooks

// Looks `id` up in `map`: calls the command handler (pCmdUI null) or the
// update handler.  An update request for a command that has a handler but no
// update handler enables the element.  True when the map took the id.
template <class T>
bool RouteThroughMap(T& target, const MessageMap<T>& map, UINT id, CCmdUI* pCmdUI) {
  if (pCmdUI) {
    for (const auto& e : map.updates) {
      if (e.id == id) {
        (target.*e.handler)(pCmdUI);
        return true;
      }
    }
  }
  for (const auto& e : map.commands) {
    if (e.id != id) continue;
    if (pCmdUI) {
      pCmdUI->Enable(true);
      return true;
    }
    if (hooks::commandTraceActive()) hooks::traceCommand(id, std::any(e.handler));
    (target.*e.handler)();
    return true;
  }
  return false;
}

class CCmdTarget : public CObject {
 public:
  // Routes a command (pCmdUI null) or an update request; true when taken.
  virtual bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
    (void)nID;
    (void)pCmdUI;
    return false;
  }
};

}  // namespace winlayer
