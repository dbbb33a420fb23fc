// Identifiers of KAVOLD's resources and commands.  The numbers are fixed:
// menus, toolbar, accelerators and dialogs refer to them, and those of the
// window layer's own commands (57600 and up) come from the layer.
#pragma once

#include "frontend/winlayer/afxdefs.hpp"

namespace kavold {

using winlayer::UINT;

inline constexpr UINT IDR_MAINFRAME = 128;  // menu, toolbar, accelerators, icon, template string
inline constexpr UINT IDR_KAVOLDTYPE = 129;  // document icon
inline constexpr UINT IDD_ABOUTBOX = 100;

// Status-bar panes of the click coordinates (their strings fix the widths).
inline constexpr UINT ID_INDICATOR_X = 61446;
inline constexpr UINT ID_INDICATOR_Y = 61447;

// Commands.  Where two identifiers reach one handler, the second is the one
// without a menu entry or toolbar button.
inline constexpr UINT ID_DIRECTORY = 1008;
inline constexpr UINT ID_RUN_TIME = 32771;          // toolbar C-time
inline constexpr UINT ID_SHOW_TIME = 32772;         // toolbar Gr-time
inline constexpr UINT ID_TOOL_MODEL = 32773;        // toolbar Model
inline constexpr UINT ID_LOAD_EXPER = 32774;
inline constexpr UINT ID_START_FROM_ZERO = 32780;
inline constexpr UINT ID_MODEL_FILE = 32781;
inline constexpr UINT ID_CORRECTIONS = 32782;
inline constexpr UINT ID_RUN_TIME_2 = 32783;
inline constexpr UINT ID_ABSORPTION = 32784;
inline constexpr UINT ID_REFLECTIVITY = 32785;
inline constexpr UINT ID_TIM_FILE = 32786;
inline constexpr UINT ID_TIM_DIALOG = 32787;
inline constexpr UINT ID_STOP_CALCULATIONS = 32788;
inline constexpr UINT ID_READ_TIM_PARAMETERS = 32789;
inline constexpr UINT ID_TOOL_NEW_M = 32790;        // toolbar New_M
inline constexpr UINT ID_CLEAN_PREVIOUS = 32791;
inline constexpr UINT ID_HFI_GRAPH = 32795;
inline constexpr UINT ID_TOOL_FIT_PAR = 32796;      // toolbar Fit_par
inline constexpr UINT ID_VERSION = 32797;
inline constexpr UINT ID_RUN_DELAYED = 32798;       // toolbar C-Del
inline constexpr UINT ID_SHOW_TIME_2 = 32799;
inline constexpr UINT ID_NOTHING = 32800;
inline constexpr UINT ID_CREATE_MODEL = 32802;
inline constexpr UINT ID_DEL_AND_PROMPT = 32803;
inline constexpr UINT ID_RUN_DELAYED_2 = 32804;
inline constexpr UINT ID_SHOW_DELAYED_2 = 32805;
inline constexpr UINT ID_GET_PREVIOUS = 32806;
inline constexpr UINT ID_SHOW_DELAYED = 32807;      // toolbar Gr-Del
inline constexpr UINT ID_SHOW_PROMPT = 32809;       // toolbar Gr-Prt
inline constexpr UINT ID_RUN_PROMPT = 32811;        // toolbar C-Prt
inline constexpr UINT ID_SAVE_AXES = 32812;         // toolbar S_axis
inline constexpr UINT ID_EL_DENSITY = 32813;
inline constexpr UINT ID_LIST_PAR = 32814;
inline constexpr UINT ID_CHECK_LIST = 32815;
inline constexpr UINT ID_NEW_MODEL = 32817;
inline constexpr UINT ID_FIT_TIME = 32818;
inline constexpr UINT ID_FIT_PROMPT = 32819;
inline constexpr UINT ID_FIT_DELAYED_PROMPT = 32820;
inline constexpr UINT ID_JOINT_FIT = 32821;
inline constexpr UINT ID_WRITE_MODEL_FILE = 32822;
inline constexpr UINT ID_SAVE_MODEL_AS = 32823;
inline constexpr UINT ID_MARK_BOX = 32824;
inline constexpr UINT ID_ISOTOPE_FE57 = 32825;
inline constexpr UINT ID_ISOTOPE_SM149 = 32826;
inline constexpr UINT ID_ISOTOPE_EU151 = 32827;
inline constexpr UINT ID_RUN_CEMS = 32828;          // toolbar C-CEM
inline constexpr UINT ID_CEMS_OPTIONS = 32831;
inline constexpr UINT ID_RUN_CEMS_2 = 32832;
inline constexpr UINT ID_SET_BASELINE = 32835;      // toolbar S-Gr
inline constexpr UINT ID_ISOTOPE_SN119 = 32836;
inline constexpr UINT ID_SHOW_CEMS = 32837;         // toolbar Gr-CEM

// Controls of the dialogs, by dialog.  Numbers repeat between dialogs, as
// the dialog templates and the data exchange both refer to these names.

// Dialog 131, working directory.
inline constexpr int IDC_DIR_DIRECTORY = 1000;
inline constexpr int IDC_DIR_BROWSER = 1008;

// Dialog 130, experiment files: time spectra 1 to 4 in consecutive ids.
inline constexpr int IDC_LOAD_NFILES = 1000;
inline constexpr int IDC_LOAD_DELAYED = 1001;
inline constexpr int IDC_LOAD_FILE1 = 1002;    // to 1005
inline constexpr int IDC_LOAD_BROWSE1 = 1006;  // to 1009
inline constexpr int IDC_LOAD_BROWSE_DELAYED = 1010;
inline constexpr int IDC_LOAD_DELAYED_FILE = 1011;
inline constexpr int IDC_LOAD_CEMS = 1012;
inline constexpr int IDC_LOAD_CEMS_FILE = 1013;
inline constexpr int IDC_LOAD_BROWSE_CEMS = 1014;

// Dialog 132, model file and grazing angles 1 to 4.
inline constexpr int IDC_MODEL_FILE = 1000;
inline constexpr int IDC_MODEL_NSPC = 1002;
inline constexpr int IDC_MODEL_ANGLE1 = 1003;  // to 1006
inline constexpr int IDC_MODEL_BROWSER = 1009;

// Dialog 136, time-spectra computation parameters.  The correlation pairs
// alternate: ICORR k at IDC_COMP_ICORR1 + 2 (k - 1), IMAN k one above it.
inline constexpr int IDC_COMP_JWAY = 1000;
inline constexpr int IDC_COMP_ISTOP = 1001;
inline constexpr int IDC_COMP_KP = 1002;
inline constexpr int IDC_COMP_ITEST = 1003;
inline constexpr int IDC_COMP_XEXP1 = 1004;
inline constexpr int IDC_COMP_SIGMA = 1005;
inline constexpr int IDC_COMP_JAV1 = 1006;
inline constexpr int IDC_COMP_SD = 1007;
inline constexpr int IDC_COMP_AF = 1008;
inline constexpr int IDC_COMP_EPFIN = 1009;
inline constexpr int IDC_COMP_IDIST = 1010;
inline constexpr int IDC_COMP_XEXP2 = 1011;
inline constexpr int IDC_COMP_SIG = 1014;
inline constexpr int IDC_COMP_ICORR1 = 1015;  // to 1023 in steps of 2
inline constexpr int IDC_COMP_IMAN1 = 1016;   // to 1024 in steps of 2
inline constexpr int IDC_COMP_WEIGHT1 = 1025;  // to 1028
inline constexpr int IDC_COMP_JFIT = 1029;

// Dialog 140, general description of the model.
inline constexpr int IDC_GEN_NNN = 1000;
inline constexpr int IDC_GEN_N1N = 1002;
inline constexpr int IDC_GEN_N2N = 1003;
inline constexpr int IDC_GEN_NRN = 1004;
inline constexpr int IDC_GEN_NM = 1005;
inline constexpr int IDC_GEN_IBHF = 1013;
inline constexpr int IDC_GEN_INORM = 1015;
inline constexpr int IDC_GEN_ISQ = 1016;
inline constexpr int IDC_GEN_HKMAX = 1017;
inline constexpr int IDC_GEN_MODEL_FILE = 1025;
// S(K) of multiplets 1 to 8.
inline constexpr int IDC_GEN_S[8] = {1001, 1006, 1007, 1008, 1009, 1010, 1011, 1012};

// Dialog 141, one multiplet.
inline constexpr int IDC_MULT_GRD = 1000;
inline constexpr int IDC_MULT_BHF = 1001;
inline constexpr int IDC_MULT_DBHF = 1002;
inline constexpr int IDC_MULT_IS = 1003;
inline constexpr int IDC_MULT_EFG = 1004;
inline constexpr int IDC_MULT_BETA = 1005;
inline constexpr int IDC_MULT_GAMMA = 1006;
inline constexpr int IDC_MULT_RANDOM = 1008;
inline constexpr int IDC_MULT_PLANE = 1009;
inline constexpr int IDC_MULT_WIDTH = 1010;

// Dialog 146, one layer.
inline constexpr int IDC_LAYER_H1A = 1001;
inline constexpr int IDC_LAYER_RECHI = 1002;
inline constexpr int IDC_LAYER_IMCHI = 1003;
inline constexpr int IDC_LAYER_ZD2 = 1006;
inline constexpr int IDC_LAYER_KIND2 = 1007;
inline constexpr int IDC_LAYER_ZD1 = 1008;
inline constexpr int IDC_LAYER_KIND1 = 1009;
inline constexpr int IDC_LAYER_KSTEP = 1010;
inline constexpr int IDC_LAYER_WIDTH = 1011;
inline constexpr int IDC_LAYER_ANGLE1 = 1012;  // BE, GA, Rand, Plane, WID: to 1016
inline constexpr int IDC_LAYER_V1 = 1017;      // densities of multiplets 1 to 8: to 1024
inline constexpr int IDC_LAYER_KINDV1 = 1025;  // interface kinds of multiplets 1 to 8: to 1032
// Interface parameters ZDV of multiplets 1 to 8.
inline constexpr int IDC_LAYER_ZDV[8] = {1033, 1034, 1035, 1038, 1039, 1040, 1041, 1042};

// Small dialogs: new model name (148), fit question (149), mark box (151),
// stop value (135).
inline constexpr int IDC_NEWMODEL_NAME = 1000;
inline constexpr int IDC_NEWMODEL_CONTINUE = 1034;
inline constexpr int IDC_FIT_YES = 1035;
inline constexpr int IDC_MARK_CREATE = 1035;
inline constexpr int IDC_STOP_VALUE = 1000;

// Dialog 139, axes.
inline constexpr int IDC_AXES_XINI = 1000;
inline constexpr int IDC_AXES_XFIN = 1001;
inline constexpr int IDC_AXES_XSTEP = 1002;
inline constexpr int IDC_AXES_YINI = 1003;
inline constexpr int IDC_AXES_YFIN = 1004;
inline constexpr int IDC_AXES_YSTEP = 1005;
inline constexpr int IDC_AXES_NORMAL = 1030;
inline constexpr int IDC_AXES_LOG_SCALE = 1031;

// Dialog 138, model graph scale; dialog 152, energy axis.
inline constexpr int IDC_SCALE_INITIAL = 1000;
inline constexpr int IDC_SCALE_STEP = 1001;
inline constexpr int IDC_SCALE_FINAL = 1002;
inline constexpr int IDC_SCALE_YHFI = 1003;
inline constexpr int IDC_XAXIS_EMODMAX = 1000;
inline constexpr int IDC_XAXIS_EMODSTEP = 1002;

}  // namespace kavold
