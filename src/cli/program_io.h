#pragma once

#include <string>
#include <vector>

// What pagelift-cli needs of the platform to read its command line and files and write
// bytes as they are: program_io_posix.cpp, or program_io_windows.cpp on Windows. CMake
// builds one of the two.

namespace pagelift::cli {

// The words of the command line after the program's name, as UTF-8.
std::vector<std::string> ProgramWords(int argc, char** argv);

// Makes standard input, output and error carry bytes unchanged (no CR LF translation).
void UseBinaryStandardStreams();

// A descriptor for reading the file named `name` (UTF-8), or -1 with errno set.
int OpenForReading(const std::string& name);

}  // namespace pagelift::cli
