// "LIST_PAR.res": the model table as a list that the user edits in the
// text editor.  Each group of rows opens with a heading; each row holds the
// table line and column of one value, the value, its fit step (0: not
// varied), a correlated line and column and the factor of the correlated
// step.  Read back, every value goes into the model table and every row
// with a step becomes a variation record of the fit script "NEXT.INP".
//
// The writer and the reader walk the same list of groups, so that a list
// is read back in the shape it was written.
#pragma once

#include <string>
#include <vector>

#include "frontend/ParamText.hpp"
#include "frontend/ViewState.hpp"

namespace kavold {

// What shapes the list besides the table.
struct ListParShape {
  int NNN = 1, NM = 1, IBHF = 2, INORM = 1, ISQ = 1;
  int NSPC = 0;                  // grazing angles offered for variation
  float angle[4] = {0, 0, 0, 0};  // their values, mrad
};

struct ListParRow {
  int line, column;
  const char* valueForm;
  const char* stepForm;
  bool mayVary;  // false where a step would vary nothing (a kind-1 interface, INORM 3, ISQ not 0)
};

struct ListParGroup {
  std::string heading;
  std::vector<ListParRow> rows;
  bool shortRecords;  // groups 1 to 4 end their records with two blanks, the others with three
};

std::vector<ListParGroup> ListParGroups(const LayerInts& ints, const ListParShape& s);

// The text of "LIST_PAR.res"; the angle rows take the values of the shape.
std::string ListParText(const ModelTable& t, const LayerInts& ints, const ListParShape& s);

// A list read back: the table with the values read, the fit script, and
// the rows that were skipped because they address the table outside its
// lines and columns.
struct ListParReading {
  ModelTable table;
  std::string next;
  std::vector<std::string> skipped;  // "line L, column C"
};

// Reads a list back over a copy of `t`.  A heading or a row that cannot be
// read throws InvalidParametersFile.
void ReadListPar(ParamScanner& in, const ModelTable& t, const LayerInts& ints, const ListParShape& s,
                 ListParReading& out);

// True when (line, column) lies in the lines and columns of the model table
// that the console programs address (lines 1 to NNN + 12, columns 1 to 27).
// A correlated entry, when line2 is not 0, is checked too: its line may be
// negative (the sign of its factor) and column 0 stands for the column of
// the first entry.
bool AddressesModelTable(int NNN, int line, int column, int line2 = 0, int column2 = 0);
// The message of a skipped row or record.
std::string OutsideModelTable(int NNN, const std::string& what);

}  // namespace kavold
