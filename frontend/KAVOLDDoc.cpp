#include "frontend/KAVOLDDoc.hpp"

namespace kavold {

const winlayer::CRuntimeClass CKAVOLDDoc::classCKAVOLDDoc{"CKAVOLDDoc", &winlayer::CreateObjectOf<CKAVOLDDoc>};

bool CKAVOLDDoc::OnNewDocument() { return CDocument::OnNewDocument(); }

void CKAVOLDDoc::Serialize(winlayer::CArchive& ar) { (void)ar; }

}  // namespace kavold
