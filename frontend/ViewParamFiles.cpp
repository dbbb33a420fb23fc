// The view's parameter files: writing each from the view's values, reading
// them back after the text editor, and rebuilding the settings of an
// earlier session ("Get previous settings").  A file that ends early or
// holds no number where one is due is reported and changes nothing.
#include <algorithm>
#include <memory>

#include "frontend/Globals.hpp"
#include "frontend/KAVOLDView.hpp"
#include "frontend/ParamFiles.hpp"

namespace kavold {

void CKAVOLDView::Say(const CString& text) { MessageBox(text); }

bool CKAVOLDView::WriteFile(const char* name, const std::string& text) {
  if (WriteWholeFile(name, text)) return true;
  Say(CString("can not create file: ") + name);
  return false;
}

bool CKAVOLDView::WriteZeprinInp() { return WriteFile("ZEPRIN.INP", ZeprinInpText(m_ComputationDlg)); }

bool CKAVOLDView::WriteDelFile() {
  m_del.Intexp = m_LoadDlg.m_Delayed;
  m_reflExpName = m_LoadDlg.m_DelayedFile;
  return WriteFile("MOLVEC.INP", MolvecInpText(m_del, m_reflExpName, m_modelKind));
}

bool CKAVOLDView::WriteCemsFile() {
  return WriteFile("FilCEM.INP", FilCemText(m_cemsPar, m_LoadDlg.m_NSPCE, m_LoadDlg.m_CemsFile));
}

bool CKAVOLDView::WriteFileM() {
  m_angleCount = m_ModelDlg.m_NSPC;
  std::copy(std::begin(m_ModelDlg.m_Angle), std::end(m_ModelDlg.m_Angle), globals().grazingAngle);
  return WriteFile("FILEM.INP", FileMText(m_ModelDlg));
}

bool CKAVOLDView::WriteFilesE() { return WriteFile("FILESE.INP", FilesEText(m_LoadDlg.m_NFiles, m_LoadDlg.m_File)); }

bool CKAVOLDView::WriteStopFile(int value) { return WriteFile("STOP.INP", StopText(value)); }

bool CKAVOLDView::WriteNextWithoutVariations() { return WriteFile("NEXT.INP", NextWithoutVariationsText()); }

void CKAVOLDView::WriteAxisFile() { WriteFile("AXISF.INP", AxisFileText(m_S, globals())); }

void CKAVOLDView::WriteModelFile() {
  const int NNN = m_GeneralDlg.m_NNN;
  if (NNN < 1 || NNN > kMaxLayers) {
    Say(Format("The model holds %d sublayers; a model file holds 1 to %d.", NNN, kMaxLayers).c_str());
    return;
  }
  const std::string text = ModelHeadText(m_modelKind, m_GeneralDlg, m_model, ModelHeaders::Table);
  std::string layers;
  for (int k = 1; k <= NNN; ++k) layers += LayerRecordText(k, m_model, m_layerInt);
  WriteFile(m_NewModelDlg.m_NewModelFile,
            text + layers + ModelTailText(m_modelKind, NNN, m_model, m_layerInt, ModelHeaders::Table));
}

// ------------------------------------------------------------- readers

namespace {

// A file read into values that the caller takes over only when the whole
// file was read.  Nothing when the file does not open (after `missing` is
// shown, when given).
template <class Values, class Reader>
std::optional<Values> readFile(CKAVOLDView& view, const char* name, const char* missing, Values start,
                               Reader read) {
  auto text = ReadWholeFile(name);
  if (!text) {
    if (missing) view.MessageBox(missing);
    return std::nullopt;
  }
  ParamScanner in(std::move(*text));
  read(in, start);
  return start;
}

}  // namespace

namespace {

// Reads a file into a copy and takes it over; a file that ends early is
// reported and changes nothing.
template <class Read, class Take>
bool readAndTake(CKAVOLDView& v, Read read, Take take) {
  try {
    auto values = read();
    if (!values) return false;
    take(v, *values);
    return true;
  } catch (const InvalidParametersFile& e) {
    v.MessageBox(e.message.c_str());
    return false;
  }
}

}  // namespace

namespace {

std::optional<TimeSpectraValues> readTim(CKAVOLDView& v) {
  return readFile(v, "ZEPRIN.INP", "CAN NOT FIND FILE:  ZEPRIN.INP", TimeSpectraValues(v.m_ComputationDlg),
                  [](ParamScanner& in, TimeSpectraValues& x) { ReadZeprinInp(in, x); });
}

void takeTim(CKAVOLDView& v, const TimeSpectraValues& t) { static_cast<TimeSpectraValues&>(v.m_ComputationDlg) = t; }

}  // namespace

void CKAVOLDView::ReadTimParameters() {
  readAndTake(*this, [&] { return readTim(*this); }, takeTim);
  Invalidate();
}

namespace {

struct DelayedValues {
  DelayedPromptParameters p;
  CString experiment;
};

struct CemsValues {
  CemsParameters c;
  int flag = 0;
  CString experiment;
};

std::optional<DelayedValues> readDelayed(CKAVOLDView& v, const char* missing) {
  return readFile(v, "MOLVEC.INP", missing, DelayedValues{v.m_del, v.m_reflExpName},
                  [kind = v.m_modelKind](ParamScanner& in, DelayedValues& x) {
                    ReadMolvecInp(in, kind, x.p, x.experiment);
                  });
}

std::optional<CemsValues> readCems(CKAVOLDView& v) {
  return readFile(v, "FilCEM.INP", "can not find file: FilCEM.INP",
                  CemsValues{v.m_cemsPar, v.m_LoadDlg.m_NSPCE, v.m_LoadDlg.m_CemsFile},
                  [](ParamScanner& in, CemsValues& x) { ReadFilCem(in, x.c, x.flag, x.experiment); });
}

void takeDelayed(CKAVOLDView& v, const DelayedValues& d) {
  v.m_del = d.p;
  v.m_reflExpName = d.experiment;
  v.m_LoadDlg.m_Delayed = d.p.Intexp;
  v.m_LoadDlg.m_DelayedFile = d.experiment;
}

void takeCems(CKAVOLDView& v, const CemsValues& c) {
  v.m_cemsPar = c.c;
  v.m_LoadDlg.m_NSPCE = c.flag;
  v.m_LoadDlg.m_CemsFile = c.experiment;
}

}  // namespace

bool CKAVOLDView::ReadDelFile(const char* missing) {
  return readAndTake(*this, [&] { return readDelayed(*this, missing); }, takeDelayed);
}

bool CKAVOLDView::ReadCemsFile() {
  return readAndTake(*this, [&] { return readCems(*this); }, takeCems);
}

// --------------------------------------------------- experiment files

namespace {

// One time-spectrum experiment file into spectrum k: pairs of time and
// counts.  The count is the number of read attempts less one.
bool readTimeExperiment(const CString& name, int k, TimeCurves& t) {
  auto in = NumberStream::Open(name);
  if (!in) return false;
  const int attempts = ScanRecords(*in, 2, kTimePoints, [&](int i, const float* v) {
    t.texp[i][k] = v[0];
    t.yexp[i][k] = v[1];
  });
  t.nexp[k] = attempts - 1;
  return true;
}

}  // namespace

int CKAVOLDView::ReadTimeExperiments(const CString names[4], int n, ExperimentRead how, TimeCurves& t) {
  int found = 0;
  for (int k = 0; k < std::min(n, 4); ++k) {
    if (readTimeExperiment(names[k], k, t)) {
      found = k + 1;
      continue;
    }
    if (how == ExperimentRead::Restore) {
      Say("CAN NOT FIND FILES with experimental time spectra");
      break;
    }
    Say("CAN NOT FIND FILES with experimantal time spectra");
  }
  return found;
}

// ------------------------------------------------------ previous settings

namespace {

// Everything "Get previous settings" reads, taken over only when every file
// that exists was read in full.
struct PreviousSettings {
  ModelChoice filem;
  bool hasFilem = false;
  std::unique_ptr<ModelValues> model;
  std::optional<DelayedValues> delayed;
  std::optional<std::pair<Arr1<AxisBlock, 4>, GraphScales>> axes;
  int nFiles = -1;  // experiment files found (when "FILESE.INP" was read)
  CString fileNames[4];
  std::unique_ptr<TimeCurves> experiment;
  std::optional<CemsValues> cems;
  std::optional<TimeSpectraValues> tim;
};

// "FILEM.INP": an angle that is not above 0 is reported.
std::optional<ModelChoice> readFileM(CKAVOLDView& v, bool& badAngle) {
  auto f = readFile(v, "FILEM.INP", "CAN NOT FIND FILE: FILEM.INP", ModelChoice(v.m_ModelDlg),
                    [](ParamScanner& in, ModelChoice& m) { ReadFileM(in, m); });
  badAngle = false;
  if (f)
    for (int k = 0; k < std::min(f->m_NSPC, 4); ++k) badAngle = badAngle || !(f->m_Angle[k] > 0);
  return f;
}

}  // namespace

void CKAVOLDView::OnGetPreviousSettings() {
  for (const char* name : {"Tconst.INI", "NEXT.INP", "STOP.INP", "ZEPRIN.INP"})
    if (!ReadWholeFile(name)) Say(CString("CAN NOT FIND FILE: ") + name);

  PreviousSettings s;
  try {
    bool badAngle = false;
    auto filem = readFileM(*this, badAngle);
    // The model dialog corrects the angles: it shows what the file holds
    // and rewrites "FILEM.INP", which is read, and checked, again.  Escape
    // there ends the reading with nothing taken over.
    while (filem && badAngle) {
      Say("angle for calculation is 0 !");
      const ModelChoice shown = m_ModelDlg;
      static_cast<ModelChoice&>(m_ModelDlg) = *filem;
      if (!ChooseModelAndAngles()) {
        static_cast<ModelChoice&>(m_ModelDlg) = shown;
        return;
      }
      filem = readFileM(*this, badAngle);
    }
    s.hasFilem = filem.has_value();
    s.filem = filem ? *filem : ModelChoice(m_ModelDlg);

    s.model = std::make_unique<ModelValues>(ModelValues{m_modelKind, m_GeneralDlg, m_model, m_layerInt});
    auto modelText = ReadWholeFile(s.filem.m_ModelFile);
    if (modelText) {
      ParamScanner in(std::move(*modelText));
      ReadModelFile(in, *s.model);
    } else {
      Say("CAN NOT FIND theoretical model FILE");
    }
    const int kind = s.model->kind;

    s.delayed = readFile(*this, "MOLVEC.INP", "CAN NOT FIND FILE: MOLVEC.INP", DelayedValues{m_del, m_reflExpName},
                         [kind](ParamScanner& in, DelayedValues& x) { ReadMolvecInp(in, kind, x.p, x.experiment); });
    s.axes = readFile(*this, "AXISF.INP", "CAN NOT FIND FILE: AXISF.INP",
                      std::pair<Arr1<AxisBlock, 4>, GraphScales>{m_S, globals()},
                      [](ParamScanner& in, auto& x) { ReadAxisFile(in, x.first, x.second); });
    if (kind <= 1) {
      std::copy(std::begin(m_LoadDlg.m_File), std::end(m_LoadDlg.m_File), s.fileNames);
      auto names = readFile(*this, "FILESE.INP", "CAN NOT FIND FILE: FILESE.INP", 0,
                            [&](ParamScanner& in, int& n) { n = ReadFilesE(in, s.fileNames); });
      if (names) {
        // The experiment files are read into a copy of the curves too.
        s.experiment = std::make_unique<TimeCurves>(m_time);
        s.nFiles = ReadTimeExperiments(s.fileNames, *names, ExperimentRead::Restore, *s.experiment);
      }
    }
    s.cems = readCems(*this);
    s.tim = readTim(*this);
  } catch (const InvalidParametersFile& e) {
    Say(e.message.c_str());
    return;
  }

  // Everything was read: take it over.
  KavoldGlobals& g = globals();
  g.editFlag = 2;
  if (s.hasFilem) {
    static_cast<ModelChoice&>(m_ModelDlg) = s.filem;
    m_angleCount = s.filem.m_NSPC;
  }
  m_modelKind = s.model->kind;
  static_cast<ModelHead&>(m_GeneralDlg) = s.model->head;
  m_model = s.model->table;
  m_layerInt = s.model->ints;
  if (s.delayed) takeDelayed(*this, *s.delayed);
  if (s.axes) {
    m_S = s.axes->first;
    static_cast<GraphScales&>(g) = s.axes->second;
    m_ModelScaleDlg.m_Initial = g.Xmodmin;
    m_ModelScaleDlg.m_Final = g.Xmodmax;
    m_ModelScaleDlg.m_Step = g.Xmodstep;
    m_ModelScaleDlg.m_Yhfi = g.Yhfi;
    m_XAxisDlg.m_Emodmax = g.Emodmax;
    m_XAxisDlg.m_Emodstep = g.Emodstep;
    if (m_mode <= 1) {
      LoadAxes(1);
      m_mode = 1;
    }
  }
  if (s.nFiles >= 0) {
    for (int k = 0; k < 4; ++k) m_LoadDlg.m_File[k] = m_fileLabel[k] = s.fileNames[k];
    m_time = *s.experiment;
    m_LoadDlg.m_NFiles = s.nFiles;
    WriteFilesE();
  }
  if (s.cems) takeCems(*this, *s.cems);
  WriteStopFile(1);
  if (s.tim) takeTim(*this, *s.tim);
  Invalidate();
}

void CKAVOLDView::StoreAxes(int mode) {
  m_S(mode) = {Acorr.Xini, Acorr.Xfin, Acorr.Xstep, Acorr.Yini, Acorr.Yfin, Acorr.Ystep, Acorr.m_Lscale};
}

void CKAVOLDView::LoadAxes(int mode) {
  const AxisBlock& b = m_S(mode);
  Acorr.Xini = b.Xini;
  Acorr.Xfin = b.Xfin;
  Acorr.Xstep = b.Xstep;
  Acorr.Yini = b.Yini;
  Acorr.Yfin = b.Yfin;
  Acorr.Ystep = b.Ystep;
  Acorr.m_Lscale = b.Lscale;
}

}  // namespace kavold
