#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> words(argv + 1, argv + argc);
  const int status = pagelift::cli::Run(words, std::cin, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
