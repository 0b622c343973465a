#pragma once

#include <stdexcept>

namespace pagelift::cli {

// A command line that cannot be run, or an input that cannot be read: exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace pagelift::cli
