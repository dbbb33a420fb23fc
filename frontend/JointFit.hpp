// Rules of the joint fit, in which the front end varies one model-table
// entry at a time, runs the time-spectra and the delayed-prompt programs
// and keeps a change only when the sum of their merits falls.
#pragma once

#include <optional>

#include "frontend/ParamText.hpp"

namespace kavold {

// A variation record of the fit script: the entry (in1, ip1) is stepped by
// sp1, the correlated entry (in2, ip2) by sp1 x f2.
struct ScriptRecord {
  int in1 = 0, ip1 = 0;
  float sp1 = 0;
  int in2 = 0, ip2 = 0;
  float f2 = 0;
};

// The next record, read as the console programs read it: six values from
// the start of a line on, the rest of that line dropped.  Its conventions
// are applied: a correlated column 0 means the column of the entry, and a
// negative correlated line means that line with the factor -1.  Nothing at
// the end of the script or at a record that cannot be read, so that a
// script without its closing record ends too.
std::optional<ScriptRecord> NextScriptRecord(ParamScanner& script);

// The value tried from the kept one.  A value that may not cross zero
// (every quantity but the isomer shift and the field gradient) is negated
// when the step would take it to zero or past it, or give no number: a
// parameter whose kept value is 0 is tried at the negated step.
float TriedValue(float kept, float step, bool mayCrossZero);

// What a trial with merit eps does, against the best merit so far.  On the
// first trial a change below EPFIN of the best doubles the step; on a later
// one it ends the trials of this record.  A worse merit reverses the step
// and shortens it to 0.6; a better one is kept (an equal one is not).
struct TrialOutcome {
  bool leave = false;
  bool keep = false;
  float step = 0;
};
TrialOutcome JudgeTrial(int trial, float eps, float best, float EPFIN, float step);

}  // namespace kavold
