#include <iostream>
#include <string>
#include <vector>

#include "tools/skin/SkinTool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return skintool::Run(args, std::cout, std::cerr);
}
