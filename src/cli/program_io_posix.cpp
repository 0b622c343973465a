#include <fcntl.h>

#include "cli/program_io.h"

namespace pagelift::cli {

std::vector<std::string> ProgramWords(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

void UseBinaryStandardStreams() {}

int OpenForReading(const std::string& name) {
  return ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
}

}  // namespace pagelift::cli
