#include "frontend/ProfileFiles.hpp"

#include <algorithm>

#include "frontend/ParamText.hpp"

namespace kavold {

namespace {

// The count of points to read: as announced, within the capacity.
int pointsToRead(int announced, ProfileRead& r) {
  r.tooLong = announced > kProfilePoints;
  return std::clamp(announced, 0, kProfilePoints);
}

}  // namespace

ProfileRead ReadElProfileFile(ElectronicProfile& p) {
  ProfileRead r;
  auto in = NumberStream::Open("EL_MOD.RES");
  if (!in) return r;
  r.found = true;
  float head[2];
  int count = 0;
  if (!in->Next(head, 2) || !in->NextInt(count)) return r;
  p.XM1 = head[0];
  p.XM2 = head[1];
  r.read = true;
  count = pointsToRead(count, r);
  int n = 0;
  float v[3];
  for (; n < count && in->Next(v, 3); ++n) {
    p.depth[n] = v[0];
    p.re[n] = v[1];
    p.im[n] = v[2];
  }
  p.n = n;
  return r;
}

ProfileRead ReadHfiProfileFile(HfiProfile& p) {
  ProfileRead r;
  auto in = NumberStream::Open("MODELN.RES");
  if (!in) return r;
  r.found = true;
  float head[2];
  int first = 0, NM = 0, count = 0;
  if (!in->Next(head, 2) || !in->NextInt(first) || !in->NextInt(NM) || !in->NextInt(count)) return r;
  r.read = true;
  count = pointsToRead(count, r);
  // Every density is read to keep the records in step; eight are kept.
  p.NM = std::clamp(NM, 0, 8);
  int n = 0;
  for (; n < count; ++n) {
    if (!in->Next(&p.depth[n], 1)) break;
    float sum = 0, value = 0;
    bool complete = true;
    for (int m = 1; m <= NM && complete; ++m) {
      complete = in->Next(&value, 1);
      if (m <= p.NM) p.v[n][m] = value;
      sum += value;
    }
    if (!complete) break;
    p.v[n][p.NM + 1] = sum;
    std::fill(p.v[n] + p.NM + 2, p.v[n] + 10, 0.0f);
  }
  p.n = n;
  return r;
}

}  // namespace kavold
