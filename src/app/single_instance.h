#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

// One Pagelift per settings file: what every shell shares of it. A later start with the
// settings file of a running Pagelift asks that one to show its settings dialog and ends;
// copies with different settings files (two portable folders) run side by side.

namespace pagelift {

// How long a later start waits for the running one to answer before it says so.
inline constexpr std::chrono::milliseconds kAnswerWait{3000};

// The name a running Pagelift is found by: "Pagelift-" and 16 lowercase hexadecimal digits
// of the 64-bit FNV-1a hash of `key`'s UTF-16 units, each as two bytes, low byte first.
// The shell makes the key from the settings file's full path (letter case folded where
// the file system ignores it, and the user where the name is seen by every user). The
// same key gives the same name in every run and every version, so that a copy of another
// version finds the one that runs.
std::u16string InstanceName(std::u16string_view key);

// What a later start says when the running one has not answered within kAnswerWait.
std::u16string NotAnsweringMessage(const std::filesystem::path& settings_file);

}  // namespace pagelift
