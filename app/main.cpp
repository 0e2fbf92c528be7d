#include "Startup.h"

int main(int argc, char** argv) { return RunNotarium(argc, argv); }
