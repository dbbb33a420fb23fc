// Angle files and the trailer of the fitted model.
#include "programs/zeprin/zeprin.hpp"

namespace zeprin {

void writeAngles(fio::Unit& out, const char* name, int NSPC, const Arr1<double, 4>& angles) {
  out.openNew(name);
  for (int i = 1; i <= NSPC; ++i) out.write("(F10.4)", angles(i) * 1000);
  out.close();
}

void OLDANG(fio::Unit& out, const common::ModelFileRef& f) { writeAngles(out, "OLD_ANG.RES", f.NSPC, f.angle); }

void writeTrailer(fio::Unit& out, int NSPC, const Arr1<double, 4>& angles, const common::CalcParams& p, float EPSN) {
  out.write("(/,/,'ZEPRIN calculations for:')");
  fio::ItemList l = fio::items(NSPC);
  for (int i = 1; i <= NSPC; ++i) fio::addItem(l, angles(i) * 1000);
  out.writeList("(' NSPC,ANGLES (mrad) = ',I5,4F8.3)", l);
  out.write("(/,' limits  and background number,  EPSSS= ',/,3F10.3,F25.9)", p.XEXP1, p.XEXP2, p.AF, EPSN);
}

}  // namespace zeprin
