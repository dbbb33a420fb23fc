// The document: KAVOLD keeps all its state in the view, so the document
// stores nothing and writes nothing.
#pragma once

#include "frontend/winlayer/wnd.hpp"

namespace kavold {

class CKAVOLDDoc : public winlayer::CDocument {
 public:
  static const winlayer::CRuntimeClass classCKAVOLDDoc;
  bool OnNewDocument() override;
  void Serialize(winlayer::CArchive& ar) override;
};

}  // namespace kavold
