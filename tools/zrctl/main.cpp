#include <iostream>

#include "tools/zrctl/zrctl.h"

int main(int argc, char** argv) {
  return lumiq::zrctl::Main(argc, argv, std::cout, std::cerr);
}
