#pragma once

#include <httplib.h>

#include <atomic>
#include <string>

namespace pagelift::test {

// What the download tests' pages count and are told.
struct TestPageState {
  std::atomic<int> hits{0};           // requests for /headers so far
  std::atomic<bool> stopping{false};  // ends the stalled page early
};

// Registers the download tests' pages on `http`; the sample pages come from `samples`.
void AddTestPages(httplib::Server& http, TestPageState& state, const std::string& samples);

}  // namespace pagelift::test
