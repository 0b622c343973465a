#pragma once

#include <stdexcept>
#include <string>

namespace pagelift {

// Failures that the judgement and the conversion members hand back to their caller.
// The layers that must never fail (downloads, conversion back ends, the fetch command)
// catch `Error` and nothing narrower.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An index outside an array's bounds, or the bounds of an array that was never set.
class SubscriptError : public Error {
 public:
  using Error::Error;
};

// A number that does not fit the type it is stored in.
class OverflowError : public Error {
 public:
  using Error::Error;
};

// A judge asked to score an array with no bytes: there is no score to give.
class EmptyArrayError : public Error {
 public:
  using Error::Error;
};

// An argument outside what an operation can work with (a byte-order mark of no bytes).
class ArgumentError : public Error {
 public:
  using Error::Error;
};

}  // namespace pagelift
