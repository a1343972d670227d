#include "driver/run.h"

int main(int argc, char** argv) { return koral::run_assembler(argc, argv); }
