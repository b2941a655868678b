#include <iostream>

#include "tools/skntool/skntool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return SkntoolRun(args, std::cout, std::cerr);
}
