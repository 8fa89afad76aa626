#include <iostream>
#include <string>
#include <vector>

#include "platform/File.h"
#include "tools/skin/SkinTool.h"

int main(int argc, char** argv) {
  return skintool::Run(platform::CommandLineArguments(argc, argv), std::cout, std::cerr);
}
