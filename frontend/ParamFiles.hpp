// The texts of the parameter files that the front end hands to the console
// programs, and the readers of those files.  Writers return the whole text
// of a file; readers take a scanner over the file's text and fill values
// that the caller takes over only when the whole file was read (they throw
// InvalidParametersFile otherwise).  Integers are written signed: a value
// that went negative stays readable.
#pragma once

#include <string>

#include "frontend/Dialogs.hpp"
#include "frontend/Globals.hpp"
#include "frontend/ParamText.hpp"
#include "frontend/ViewState.hpp"

namespace kavold {

// "ZEPRIN.INP": the time-spectra parameters.
std::string ZeprinInpText(const TimeSpectraValues& v);
void ReadZeprinInp(ParamScanner& in, TimeSpectraValues& v);

// "MOLVEC.INP": the delayed-prompt parameters and the reflectivity
// experiment's name; the delayed section only for model kinds 0 and 1.
std::string MolvecInpText(const DelayedPromptParameters& d, const CString& experiment, int modelKind);
void ReadMolvecInp(ParamScanner& in, int modelKind, DelayedPromptParameters& d, CString& experiment);

// "FilCEM.INP": the CEMS flag, the conversion-electron parameters and the
// CEMS experiment's name.
std::string FilCemText(const CemsParameters& c, int flag, const CString& experiment);
void ReadFilCem(ParamScanner& in, CemsParameters& c, int& flag, CString& experiment);

// "FILEM.INP": the model file name, NSPC and always four angles.
std::string FileMText(const ModelChoice& m);
// Reads the name, NSPC and the first NSPC angles (at most four).
void ReadFileM(ParamScanner& in, ModelChoice& m);

// "FILESE.INP": the number of time-spectrum files and their names.
std::string FilesEText(int n, const CString names[4]);
// Reads the count and the first count names (at most four); returns the
// count as written.
int ReadFilesE(ParamScanner& in, CString names[4]);

std::string StopText(int value);
// "NEXT.INP" that varies nothing: the value 1 and one record of zeros.
std::string NextWithoutVariationsText();

// "AXISF.INP": the axis blocks of the four display modes (1 to 4) and the
// graph scales.
std::string AxisFileText(const Arr1<AxisBlock, 4>& S, const GraphScales& g);
void ReadAxisFile(ParamScanner& in, Arr1<AxisBlock, 4>& S, GraphScales& g);

// The model file.  The kind, the head (NNN to IBHF), HKMAX and the tables;
// the header lines differ a little between the model written from the table
// and the one built in the model dialogs.
enum class ModelHeaders { Table, Dialogs };
struct ModelValues {
  int kind = 0;  // the number of the first line: 0, 1 with the nuclear part
  ModelHead head;
  ModelTable table;
  LayerInts ints;
};
// A value of the table in a printf form "%[W].Df" with text around it: a
// value read from a file or a dialog keeps the digits typed (FormatReal),
// one the front end computed is written in the form alone.
std::string TableValueText(const char* form, const ModelTable& t, int line, int column);
// Records 1 to 11: kind, head, HKMAX (line NNN + 1, column 9 of the table)
// and the column header.
std::string ModelHeadText(int kind, const ModelHead& h, const ModelTable& t, ModelHeaders headers);
// The layer record of sublayer k.
std::string LayerRecordText(int k, const ModelTable& t, const LayerInts& ints);
// The nuclear part (kinds 0 and 1) and the closing line end.
std::string ModelTailText(int kind, int NNN, const ModelTable& t, const LayerInts& ints, ModelHeaders headers);
std::string ModelFileText(const ModelValues& m);
// Reads a model file; a first line without a number keeps m.kind.  A model
// of more sublayers than the table holds is refused.
void ReadModelFile(ParamScanner& in, ModelValues& m);

}  // namespace kavold
