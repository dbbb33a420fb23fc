#include "frontend/winlayer/resources.hpp"

namespace winlayer {

namespace {

const ResourceSet*& current() {
  static const ResourceSet* set = nullptr;
  return set;
}

template <class Map>
const typename Map::mapped_type* lookup(const Map ResourceSet::*member, UINT id) {
  const ResourceSet* set = current();
  if (!set) return nullptr;
  const Map& m = set->*member;
  const auto it = m.find(id);
  return it == m.end() ? nullptr : &it->second;
}

}  // namespace

void AfxSetResourceHandle(const ResourceSet* resources) { current() = resources; }
const ResourceSet* AfxGetResourceHandle() { return current(); }

const MenuResource* AfxFindMenu(UINT id) { return lookup(&ResourceSet::menus, id); }
const std::vector<Accelerator>* AfxFindAccelerators(UINT id) { return lookup(&ResourceSet::accelerators, id); }
const ToolBarResource* AfxFindToolBar(UINT id) { return lookup(&ResourceSet::toolbars, id); }
const DialogTemplate* AfxFindDialog(UINT id) { return lookup(&ResourceSet::dialogs, id); }
const IconResource* AfxFindIcon(UINT id) { return lookup(&ResourceSet::icons, id); }

CString AfxLoadString(UINT id) {
  const CString* s = lookup(&ResourceSet::strings, id);
  return s ? *s : CString();
}

}  // namespace winlayer
