#include <iostream>

#include "koraldump.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return koraldump::run(args, std::cout, std::cerr);
}
