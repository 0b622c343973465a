#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/program_io.h"

int main(int argc, char** argv) {
  pagelift::cli::UseBinaryStandardStreams();
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> words = pagelift::cli::ProgramWords(argc, argv);
  const int status = pagelift::cli::Run(words, std::cin, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
