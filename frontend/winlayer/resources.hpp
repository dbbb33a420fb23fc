// Resources of an application: menus, accelerator tables, toolbars, dialog
// templates, icons and the string table, each under its integer identifier.
// The application describes them as data and hands the set to the layer
// (AfxSetResourceHandle); frames, bars and dialogs are built from them.
#pragma once

#include <map>
#include <vector>

#include "frontend/winlayer/afxdefs.hpp"

namespace winlayer {

// A menu entry: a command (id), a popup (items), or a separator (neither).
struct MenuItem {
  CString text;
  UINT id = 0;
  std::vector<MenuItem> popup;
  bool isPopup() const { return !popup.empty(); }
  bool isSeparator() const { return id == 0 && popup.empty(); }
};

struct MenuResource {
  std::vector<MenuItem> bar;  // the menu bar: popups and plain commands
};

// Virtual-key codes used by accelerator tables (letters are their capitals).
inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_INSERT = 0x2D;
inline constexpr UINT VK_DELETE = 0x2E;
inline constexpr UINT VK_F6 = 0x75;

struct Accelerator {
  UINT key;
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  UINT command = 0;
};

// A toolbar button whose face is a text label in a colour; id 0 is a
// separator.
struct ToolBarButton {
  UINT id = 0;
  CString label;
  COLORREF colour = 0;
};

struct ToolBarResource {
  int buttonWidth = 16;  // pixels of a button face
  int buttonHeight = 15;
  std::vector<ToolBarButton> buttons;
};

enum class ControlKind { Static, Edit, PushButton, DefPushButton, CheckBox, GroupBox, Icon };

// Position and size in dialog units (a quarter of the average character
// width across, an eighth of the character height down).
struct DialogControl {
  ControlKind kind;
  int id;  // IDC_STATIC for texts nobody addresses
  CString text;
  int x, y, cx, cy;
};

struct DialogTemplate {
  CString caption;
  int cx = 0;
  int cy = 0;
  std::vector<DialogControl> controls;
};

// An icon drawn as a glyph on a coloured square.
struct IconResource {
  CString glyph;
  COLORREF background = 0;
  COLORREF foreground = 0;
};

struct ResourceSet {
  std::map<UINT, MenuResource> menus;
  std::map<UINT, std::vector<Accelerator>> accelerators;
  std::map<UINT, ToolBarResource> toolbars;
  std::map<UINT, DialogTemplate> dialogs;
  std::map<UINT, IconResource> icons;
  std::map<UINT, CString> strings;
};

void AfxSetResourceHandle(const ResourceSet* resources);
const ResourceSet* AfxGetResourceHandle();

// Lookups in the current set; null (or an empty string) when absent.
const MenuResource* AfxFindMenu(UINT id);
const std::vector<Accelerator>* AfxFindAccelerators(UINT id);
const ToolBarResource* AfxFindToolBar(UINT id);
const DialogTemplate* AfxFindDialog(UINT id);
const IconResource* AfxFindIcon(UINT id);
CString AfxLoadString(UINT id);

}  // namespace winlayer
