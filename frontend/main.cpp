#include "frontend/KAVOLD.hpp"

kavold::CKAVOLDApp theApp;

int main(int argc, char** argv) { return winlayer::AfxWinMain(argc, argv); }
