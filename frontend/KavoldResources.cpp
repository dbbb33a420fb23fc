#include "frontend/KavoldResources.hpp"

#include "frontend/Dialogs.hpp"
#include "frontend/GraphDialogs.hpp"
#include "frontend/resource.hpp"

namespace kavold {

using namespace winlayer;

namespace {

using K = ControlKind;

// Positions and sizes in dialog units.
DialogControl text(const char* s, int x, int y, int cx, int cy = 8) { return {K::Static, IDC_STATIC, s, x, y, cx, cy}; }
DialogControl edit(int id, int x, int y, int cx, int cy = 12) { return {K::Edit, id, "", x, y, cx, cy}; }
DialogControl button(int id, const char* s, int x, int y, int cx = 50, int cy = 14) {
  return {K::PushButton, id, s, x, y, cx, cy};
}
DialogControl okButton(int x, int y, const char* s = "OK") { return {K::DefPushButton, IDOK, s, x, y, 50, 14}; }
DialogControl check(int id, const char* s, int x, int y, int cx, int cy = 10) { return {K::CheckBox, id, s, x, y, cx, cy}; }

// A labelled edit on one row of a form: label at the left, edit at the right.
void row(std::vector<DialogControl>& c, const char* label, int id, int y, int labelWidth, int editX, int editWidth = 44) {
  c.push_back(text(label, 7, y + 2, labelWidth));
  c.push_back(edit(id, editX, y, editWidth));
}

MenuResource mainMenu() {
  MenuResource m;
  m.bar = {
      {"Settings",
       0,
       {{"Directory", ID_DIRECTORY, {}},
        {"Select isotope",
         0,
         {{"57Fe", ID_ISOTOPE_FE57, {}},
          {"149Sm", ID_ISOTOPE_SM149, {}},
          {"151Eu", ID_ISOTOPE_EU151, {}},
          {"119Sn", ID_ISOTOPE_SN119, {}}}},
        {"Clean previous result", ID_CLEAN_PREVIOUS, {}},
        {"Get previous settings", ID_GET_PREVIOUS, {}},
        {"or Start from zero", ID_START_FROM_ZERO, {}}}},
      {"Load exper", ID_LOAD_EXPER, {}},
      {"Theory",
       0,
       {{"Create MODEL", ID_CREATE_MODEL, {}}, {"Model file", ID_MODEL_FILE, {}}, {"Correctons", ID_CORRECTIONS, {}}}},
      {"Calc. options",
       0,
       {{"TIM spectra", 0, {{"File", ID_TIM_FILE, {}}, {"Dialog", ID_TIM_DIALOG, {}}}},
        {"Del  and prompt ", ID_DEL_AND_PROMPT, {}},
        {"CEMS options", ID_CEMS_OPTIONS, {}}}},
      {"FIT options",
       0,
       {{"List_par", ID_LIST_PAR, {}},
        {"Check list", ID_CHECK_LIST, {}},
        {"Fitting",
         0,
         {{"Time spectra", ID_FIT_TIME, {}},
          {"Prompt curve", ID_FIT_PROMPT, {}},
          {"Delayed+prompt curves", ID_FIT_DELAYED_PROMPT, {}},
          {"Joint_FIT", ID_JOINT_FIT, {}}}},
        {"Stop calculations", ID_STOP_CALCULATIONS, {}},
        {"New model", ID_NEW_MODEL, {}}}},
      {"Energy graphs", 0, {{"Absorption", ID_ABSORPTION, {}}, {"Reflectivity", ID_REFLECTIVITY, {}}}},
      {"MODEL graphs", 0, {{"HFI graph", ID_HFI_GRAPH, {}}, {"El density", ID_EL_DENSITY, {}}}},
      {"&View", 0, {{"&Toolbar", ID_VIEW_TOOLBAR, {}}, {"&Status Bar", ID_VIEW_STATUS_BAR, {}}}},
  };
  return m;
}

ToolBarResource mainToolBar() {
  const COLORREF red = RGB(255, 0, 0), darkBlue = RGB(0, 0, 128), blue = RGB(0, 0, 255), green = RGB(0, 128, 0),
                 darkRed = RGB(128, 0, 0);
  ToolBarResource t;
  t.buttonWidth = 50;
  t.buttonHeight = 15;
  t.buttons = {
      {ID_RUN_TIME, "C-time", red},       {ID_SHOW_TIME, "Gr-time", darkBlue},
      {ID_RUN_DELAYED, "C-Del", red},     {ID_SHOW_DELAYED, "Gr-Del", darkBlue},
      {ID_RUN_PROMPT, "C-Prt", red},      {ID_SHOW_PROMPT, "Gr-Prt", darkBlue},
      {ID_RUN_CEMS, "C-CEM", red},        {ID_SHOW_CEMS, "Gr-CEM", darkBlue},
      {ID_SET_BASELINE, "S-Gr", blue},    {ID_TOOL_MODEL, "Model", green},
      {ID_TOOL_FIT_PAR, "Fit_par", darkRed}, {ID_TOOL_NEW_M, "New_M", green},
      {0, "", 0},                         {ID_SAVE_AXES, "S_axis", blue},
  };
  return t;
}

std::vector<Accelerator> mainAccelerators() {
  return {
      {'N', true, false, false, ID_FILE_NEW},        {'O', true, false, false, ID_FILE_OPEN},
      {'S', true, false, false, ID_FILE_SAVE},       {'P', true, false, false, ID_FILE_PRINT},
      {'Z', true, false, false, ID_EDIT_UNDO},       {VK_BACK, false, false, true, ID_EDIT_UNDO},
      {'X', true, false, false, ID_EDIT_CUT},        {VK_DELETE, false, true, false, ID_EDIT_CUT},
      {'C', true, false, false, ID_EDIT_COPY},       {VK_INSERT, true, false, false, ID_EDIT_COPY},
      {'V', true, false, false, ID_EDIT_PASTE},      {VK_INSERT, false, true, false, ID_EDIT_PASTE},
      {VK_F6, false, false, false, ID_NEXT_PANE},    {VK_F6, false, true, false, ID_PREV_PANE},
  };
}

std::map<UINT, CString> strings() {
  return {
      {IDR_MAINFRAME, "KAVOLD\n\nKAVOLD\n\n\nKAVOLD.Document\nKAVOLD Document"},
      {AFX_IDS_APP_TITLE, "KAVOLD"},
      {AFX_IDS_IDLEMESSAGE, "Ready"},
      {ID_INDICATOR_X, "____________"},
      {ID_INDICATOR_Y, "__________"},
      {ID_INDICATOR_CAPS, "CAP"},
      {ID_INDICATOR_NUM, "NUM"},
      {ID_INDICATOR_SCRL, "SCRL"},
      // Prompts of the window layer's commands: status text, then tooltip.
      {ID_FILE_NEW, "Starts a new document\nNew"},
      {ID_FILE_OPEN, "Opens a document\nOpen"},
      {ID_FILE_SAVE, "Saves the document\nSave"},
      {ID_FILE_PRINT, "Prints the document\nPrint"},
      {ID_APP_ABOUT, "Shows the program's name and version\nAbout"},
      {ID_APP_EXIT, "Ends the application\nExit"},
      {ID_EDIT_UNDO, "Undoes the last action\nUndo"},
      {ID_EDIT_CUT, "Cuts the selection to the clipboard\nCut"},
      {ID_EDIT_COPY, "Copies the selection to the clipboard\nCopy"},
      {ID_EDIT_PASTE, "Inserts the clipboard's contents\nPaste"},
      {ID_NEXT_PANE, "Goes to the next pane\nNext Pane"},
      {ID_PREV_PANE, "Goes back to the previous pane\nPrevious Pane"},
      {ID_VIEW_TOOLBAR, "Shows or hides the toolbar\nToggle ToolBar"},
      {ID_VIEW_STATUS_BAR, "Shows or hides the status bar\nToggle StatusBar"},
  };
}

DialogTemplate aboutBox() {
  return {"About KAVOLD",
          235,
          55,
          {{K::Icon, IDC_STATIC, "128", 11, 17, 20, 20},
           text("KAVOLD Version 1.0", 40, 10, 119),
           text("Nuclear resonance scattering at grazing incidence", 40, 25, 188),
           okButton(178, 7)}};
}

DialogTemplate directoryDlg() {
  return {"    Set up the directory name",
          186,
          58,
          {text("Working directory", 7, 7, 100), edit(IDC_DIR_DIRECTORY, 7, 18, 172),
           button(IDC_DIR_BROWSER, "Browser", 7, 37), okButton(129, 37)}};
}

DialogTemplate loadDlg() {
  DialogTemplate t{"                   LOAD experiment", 241, 257, {}};
  auto& c = t.controls;
  c.push_back(text("Number of experimental time spectra (max 4)", 7, 9, 175));
  c.push_back(edit(IDC_LOAD_NFILES, 187, 7, 40));
  c.push_back(text("Names of the experimental datum files", 7, 28, 200));
  static const char* const browse[] = {"File No.1", "File No.2", "File No.3", "File No.4"};
  for (int k = 0; k < 4; ++k) {
    c.push_back(edit(IDC_LOAD_FILE1 + k, 7, 40 + 18 * k, 160, 13));
    c.push_back(button(IDC_LOAD_BROWSE1 + k, browse[k], 177, 40 + 18 * k, 50, 13));
  }
  c.push_back(text("Experimental delayed curve (if 0 - no data)", 7, 118, 175));
  c.push_back(edit(IDC_LOAD_DELAYED, 187, 116, 40));
  c.push_back(edit(IDC_LOAD_DELAYED_FILE, 7, 134, 160, 13));
  c.push_back(button(IDC_LOAD_BROWSE_DELAYED, "File", 177, 134, 50, 13));
  c.push_back(text("Experimental CEMS curve (if 0 - no data)", 7, 162, 175));
  c.push_back(edit(IDC_LOAD_CEMS, 187, 160, 40));
  c.push_back(edit(IDC_LOAD_CEMS_FILE, 7, 178, 160, 13));
  c.push_back(button(IDC_LOAD_BROWSE_CEMS, "File", 177, 178, 50, 13));
  c.push_back(okButton(95, 232));
  return t;
}

DialogTemplate modelDlg() {
  DialogTemplate t{"          Model of the sample", 186, 146, {}};
  auto& c = t.controls;
  c.push_back(text("Name of the model file", 7, 7, 120));
  c.push_back(edit(IDC_MODEL_FILE, 7, 18, 118, 13));
  c.push_back(button(IDC_MODEL_BROWSER, "Browser", 132, 18, 47, 13));
  c.push_back(text("Number of reflectivity spectra", 7, 42, 125));
  c.push_back(edit(IDC_MODEL_NSPC, 140, 40, 39));
  c.push_back(text("ANGLES (max 4) for reflectivity calculations (mrad)", 7, 62, 172, 18));
  for (int k = 0; k < 4; ++k) c.push_back(edit(IDC_MODEL_ANGLE1 + k, 7 + 44 * k, 84, 39));
  c.push_back(okButton(68, 122));
  return t;
}

DialogTemplate computationDlg() {
  DialogTemplate t{"                Computation parameters", 294, 317, {}};
  auto& c = t.controls;
  constexpr int lw = 232, ex = 243;
  row(c, "Jway - the way of computation: 1  -  matrix, 2  -  Parratt", IDC_COMP_JWAY, 7, lw, ex);
  row(c, "ITEST: 1  -  one step check, 2  -  try to choose the best value", IDC_COMP_ITEST, 21, lw, ex);
  c.push_back(text("Limits  (ns)  for comparison of the theory and experiment", 7, 37, 185, 16));
  c.push_back(edit(IDC_COMP_XEXP1, 196, 35, 44));
  c.push_back(edit(IDC_COMP_XEXP2, 243, 35, 44));
  row(c, "JFIT - the way for comparison of the theory and experiment", IDC_COMP_JFIT, 53, lw, ex);
  row(c, "ISTOP - maximum number of variations for one paramter", IDC_COMP_ISTOP, 67, lw, ex);
  row(c, " EPFIN - limits for iterations of EPSSS and  ADJUST", IDC_COMP_EPFIN, 81, lw, ex);
  row(c, "SIG - width (A) of the Gauss regularization of  HFI distrib", IDC_COMP_SIG, 95, lw, ex);
  row(c, "KP - number of steps in smoothing", IDC_COMP_KP, 109, lw, ex);
  row(c, "Initial background : 1,2,3.., if 0 it is not taken into account", IDC_COMP_AF, 123, lw, ex);
  c.push_back(text("The weight of the merit function for each spectrum", 7, 139, 230));
  for (int k = 0; k < 4; ++k) c.push_back(edit(IDC_COMP_WEIGHT1 + k, 7 + 50 * k, 149, 44));
  c.push_back({K::GroupBox, IDC_STATIC, "Parameter correlations", 4, 165, 286, 60});
  c.push_back(text("The number of column, if negative  - number of line", 10, 176, 270));
  for (int k = 0; k < 5; ++k) c.push_back(edit(IDC_COMP_ICORR1 + 2 * k, 10 + 55 * k, 186, 44));
  c.push_back(text("The way of correlation in it (1,2 or 3)", 10, 201, 270));
  for (int k = 0; k < 5; ++k) c.push_back(edit(IDC_COMP_IMAN1 + 2 * k, 10 + 55 * k, 211, 44));
  row(c, "SIGMA for GAUSS in time averaging  in ns", IDC_COMP_SIGMA, 230, lw, ex);
  c.push_back(text("    FIELD   DISTRIBUTION", 7, 246, 150));
  row(c, "Number of points for field half-distribution   (max 50!)", IDC_COMP_JAV1, 256, lw, ex);
  row(c, "Step in distribution function (norm to 1.)", IDC_COMP_SD, 270, lw, ex);
  row(c, "Type of Function: 1- Gauss, 2 - Lorentz, 3 - extern determ", IDC_COMP_IDIST, 284, lw, ex);
  c.push_back(okButton(122, 300));
  return t;
}

DialogTemplate generalDlg() {
  DialogTemplate t{"                                  General description", 335, 266, {}};
  auto& c = t.controls;
  c.push_back(text("The name of the Model File", 7, 9, 120));
  c.push_back(edit(IDC_GEN_MODEL_FILE, 130, 7, 120));
  row(c, "Number of sublayers (max 50, including substrate) ", IDC_GEN_NNN, 23, 200, 210, 40);
  c.push_back(text("Repetitions", 7, 43, 48));
  c.push_back(text("from", 60, 43, 20));
  c.push_back(edit(IDC_GEN_N1N, 82, 41, 30));
  c.push_back(text("to", 120, 43, 12));
  c.push_back(edit(IDC_GEN_N2N, 134, 41, 30));
  c.push_back(text("number", 172, 43, 30));
  c.push_back(edit(IDC_GEN_NRN, 204, 41, 30));
  row(c, "NM - Number of multiplets (max 8)", IDC_GEN_NM, 59, 200, 210, 40);
  c.push_back(text("S(K) - ratio of partial spectra areas", 7, 79, 200));
  for (int k = 0; k < 8; ++k) c.push_back(edit(IDC_GEN_S[k], 7 + 40 * k, 90, 36));
  c.push_back(text("Angular parameter attribute  IBHF: ", 7, 111, 255));
  c.push_back(text("if 1 the angles describe the layer properties,", 7, 121, 255));
  c.push_back(text("if 2 the angles are the multiplet attributes.", 7, 131, 255));
  c.push_back(edit(IDC_GEN_IBHF, 270, 119, 40));
  c.push_back(text("Normalization of the HFI depth distribution", 7, 151, 250));
  row(c, "INORM, if it =1 then V is normalized, =3 - not ; =2, V norm. from the top  ", IDC_GEN_INORM, 163, 272, 284, 44);
  row(c, "HKMAX - max value of nuclear density (1.for pure a-57Fe)   ", IDC_GEN_HKMAX, 181, 272, 284, 44);
  row(c, "ISQ  =0 then V is recalculated, =1 S((K) are recalcul.,=2 keep HKMAX  ", IDC_GEN_ISQ, 199, 272, 284, 44);
  c.push_back(okButton(142, 240));
  return t;
}

DialogTemplate multipletDlg() {
  DialogTemplate t{"", 198, 222, {}};
  auto& c = t.controls;
  c.push_back(text("MULTIPLET   PARAMETERS", 50, 5, 110));
  row(c, "Bhf(T) - magnetic hyperfine field", IDC_MULT_BHF, 20, 135, 145, 46);
  row(c, "dBhf(T) - magnetic distribution", IDC_MULT_DBHF, 35, 135, 145, 46);
  row(c, "IS(mm/s) - isomer shift", IDC_MULT_IS, 50, 135, 145, 46);
  row(c, "EFG(mm/s) - Electric Field Gradient", IDC_MULT_EFG, 65, 135, 145, 46);
  row(c, "GRd(mm/s) - line broadening", IDC_MULT_GRD, 80, 135, 145, 46);
  c.push_back(text("Angular parametrs", 7, 100, 100));
  row(c, "Beta - polar angle (degrees)", IDC_MULT_BETA, 113, 135, 145, 46);
  row(c, "Gamma - azimuth angle (degrees)", IDC_MULT_GAMMA, 128, 135, 145, 46);
  row(c, "Portion of random orientation", IDC_MULT_RANDOM, 143, 135, 145, 46);
  row(c, "Portion of plane orientation", IDC_MULT_PLANE, 158, 135, 145, 46);
  row(c, "Angular width (degrees)", IDC_MULT_WIDTH, 173, 135, 145, 46);
  c.push_back(okButton(74, 198));
  return t;
}

DialogTemplate layerDlg() {
  DialogTemplate t{"                                                 Layer parameters", 442, 212, {}};
  auto& c = t.controls;
  c.push_back(text("Susceptibility ( in 10-6 units)", 62, 7, 120));
  c.push_back(text("Top interface", 180, 7, 100));
  struct Column {
    const char* label;
    int id, x, cx;
  };
  static const Column first[] = {
      {"Thickness (A)", IDC_LAYER_H1A, 7, 50},
      {"Real part", IDC_LAYER_RECHI, 62, 50},
      {" Imaginary part", IDC_LAYER_IMCHI, 117, 56},
      {"Width", IDC_LAYER_WIDTH, 180, 38},
      {"Number of steps", IDC_LAYER_KSTEP, 222, 38},
      {"Kind of Re.func.", IDC_LAYER_KIND1, 264, 38},
      {"Parameter", IDC_LAYER_ZD1, 306, 38},
      {"Kind of im.func.", IDC_LAYER_KIND2, 348, 38},
      {"Parameter", IDC_LAYER_ZD2, 390, 45},
  };
  for (const Column& col : first) {
    c.push_back(text(col.label, col.x, 18, col.cx, 17));
    c.push_back(edit(col.id, col.x, 36, col.cx));
  }
  c.push_back(text("Angular parameters of layer  (if IBHF=1)", 7, 56, 200));
  static const char* const angles[] = {"Beta", "Gamma", "Portion of random", "Portion of plane", "Angular width"};
  for (int k = 0; k < 5; ++k) {
    c.push_back(text(angles[k], 7 + 70 * k, 67, 66));
    c.push_back(edit(IDC_LAYER_ANGLE1 + k, 7 + 70 * k, 77, 60));
  }
  c.push_back(text("Multiplet densities in this layer", 7, 97, 200));
  static const char* const numbers[] = {"No.1", "No.2", "No.3", "No.4", "No.5", "No.6", "No.7", "No.8"};
  for (int k = 0; k < 8; ++k) {
    c.push_back(text(numbers[k], 7 + 54 * k, 108, 50));
    c.push_back(edit(IDC_LAYER_V1 + k, 7 + 54 * k, 118, 50));
    c.push_back(edit(IDC_LAYER_KINDV1 + k, 7 + 54 * k, 148, 50));
    c.push_back(edit(IDC_LAYER_ZDV[k], 7 + 54 * k, 177, 50));
  }
  c.push_back(text("Kind of interface function for each multiplet in this layer    KINDV[N,K]", 7, 137, 400));
  c.push_back(text("Parameter of interface function for each multiplet in this layer    ZDV[N,K]", 7, 166, 400));
  c.push_back(okButton(196, 194));
  return t;
}

DialogTemplate newModelDlg() {
  return {"New MODEL file",
          186,
          94,
          {text("Save this new MODEL file under the name :", 7, 7, 172), edit(IDC_NEWMODEL_NAME, 7, 18, 172),
           check(IDC_NEWMODEL_CONTINUE, "Check1", 7, 40, 40),
           text("Mark this box if you want to continue the calculations with this new MODEL file", 50, 38, 129, 26),
           okButton(68, 72)}};
}

DialogTemplate fitDlg() {
  return {"", 161, 92,
          {text("F I T   ?", 60, 15, 60), check(IDC_FIT_YES, "Check1", 50, 38, 40), text("Yes", 95, 39, 20),
           okButton(55, 65, "Run")}};
}

DialogTemplate markDlg() {
  return {"Dialog", 196, 93,
          {text("If you have no the ready MODEL FILE, please, create it:", 7, 7, 182), text("MARK THE BOX!", 7, 30, 80),
           check(IDC_MARK_CREATE, "", 110, 24, 26, 26), okButton(73, 72)}};
}

DialogTemplate stopDlg() {
  return {"             Stop calculations", 186, 52,
          {text("Put 0 to stop further modeling!", 7, 9, 120), edit(IDC_STOP_VALUE, 130, 7, 49), okButton(68, 30)}};
}

DialogTemplate axesDlg() {
  return {"                             Axes",
          227,
          108,
          {text("Xini", 7, 9, 60), edit(IDC_AXES_XINI, 7, 19, 60), text("Xfin", 80, 9, 60),
           edit(IDC_AXES_XFIN, 80, 19, 60), text("Xstep", 153, 9, 60), edit(IDC_AXES_XSTEP, 153, 19, 60),
           text("Yini", 7, 37, 60), edit(IDC_AXES_YINI, 7, 47, 60), text("Yfin for each graph", 80, 37, 72),
           edit(IDC_AXES_YFIN, 80, 47, 60), text("Ystep", 153, 37, 60), edit(IDC_AXES_YSTEP, 153, 47, 60),
           button(IDC_AXES_NORMAL, "Normal", 7, 68), button(IDC_AXES_LOG_SCALE, "Log scale", 62, 68),
           okButton(170, 86)}};
}

DialogTemplate modelScaleDlg() {
  return {"            Model graph scale",
          186,
          106,
          {text("X-axis (nm)", 7, 7, 60), text("Initial                    Final                       Step", 7, 18, 172),
           edit(IDC_SCALE_INITIAL, 7, 28, 50), edit(IDC_SCALE_FINAL, 67, 28, 50), edit(IDC_SCALE_STEP, 127, 28, 50),
           text("Y-amplitude for single HFI", 7, 50, 110), edit(IDC_SCALE_YHFI, 127, 48, 50), okButton(68, 84)}};
}

DialogTemplate xAxisDlg() {
  return {"            X-axis correction",
          186,
          93,
          {text("Moessbauer spectrum limits and step", 7, 7, 172), edit(IDC_XAXIS_EMODMAX, 7, 25, 60),
           edit(IDC_XAXIS_EMODSTEP, 80, 25, 60),
           okButton(68, 70)}};
}

// The graph dialogs have no controls: they draw over their whole client area.
DialogTemplate graphDlg(const char* caption, int cx, int cy) { return {caption, cx, cy, {}}; }

ResourceSet build() {
  ResourceSet r;
  r.menus[IDR_MAINFRAME] = mainMenu();
  r.toolbars[IDR_MAINFRAME] = mainToolBar();
  r.accelerators[IDR_MAINFRAME] = mainAccelerators();
  r.icons[IDR_MAINFRAME] = {"K", RGB(0, 0, 128), RGB(255, 255, 0)};
  r.icons[IDR_KAVOLDTYPE] = {"D", RGB(0, 128, 0), RGB(255, 255, 255)};
  r.strings = strings();
  r.dialogs[CAboutDlg::IDD] = aboutBox();
  r.dialogs[CDirectoryDlg::IDD] = directoryDlg();
  r.dialogs[CLoadDlg::IDD] = loadDlg();
  r.dialogs[CModelDlg::IDD] = modelDlg();
  r.dialogs[CComputationDlg::IDD] = computationDlg();
  r.dialogs[CGeneralDlg::IDD] = generalDlg();
  r.dialogs[CMultipletDlg::IDD] = multipletDlg();
  r.dialogs[CLayerDlg::IDD] = layerDlg();
  r.dialogs[CNewModelDlg::IDD] = newModelDlg();
  r.dialogs[CFitDlg::IDD] = fitDlg();
  r.dialogs[CMarkDlg::IDD] = markDlg();
  r.dialogs[CStopDlg::IDD] = stopDlg();
  r.dialogs[CAxesDlg::IDD] = axesDlg();
  r.dialogs[CModelScaleDlg::IDD] = modelScaleDlg();
  r.dialogs[CXAxisDlg::IDD] = xAxisDlg();
  r.dialogs[CAbsorptionDlg::IDD] = graphDlg("                          Absorption spectra", 290, 186);
  r.dialogs[CReflectivityDlg::IDD] = graphDlg("            Reflectivity spectra", 241, 271);
  r.dialogs[CHfiGraphDlg::IDD] = graphDlg("              HFI depth distribution", 204, 262);
  r.dialogs[CDepthProfileDlg::IDD] = graphDlg(" Depth profile for electronic density and absorption", 295, 140);
  return r;
}

}  // namespace

const ResourceSet& KavoldResources() {
  static const ResourceSet set = build();
  return set;
}

}  // namespace kavold
