// Identifiers of KAVOLD's resources and commands.  The numbers are fixed:
// menus, toolbar, accelerators and dialogs refer to them, and the
// framework's own identifiers (57600 and up) come from the window layer.
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

}  // namespace kavold
