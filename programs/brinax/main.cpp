// BRINAX: conversion-electron (CEMS) spectra of layered samples.
#include "programs/brinax/brinax.hpp"
#include "programs/common/fio.hpp"

namespace {

// The program's data block lives for the whole process.
brinax::BrinaxData data;

}  // namespace

int main() {
  return fio::runMain("BRINAX", [] { brinax::CEMMAIN(data); });
}
