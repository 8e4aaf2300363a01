// How a run stops early: deep in a mode, an error that ends the run throws
// TRunStop, and the run's top catches it, so every object on the way
// (threads, files) is finished by its destructor before the process ends.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace quorvid {

/// Ends the run with `exitCode`; thrown, never caught below the run's top.
/// A message is shown there on the syntax-error screen (banner, message,
/// the syntax of the run's help sections) before the run ends.
struct TRunStop {
  int32_t exitCode;
  std::string message;  // "": nothing more to show
};

/// Stops the run with `exitCode`, showing `message` on the syntax-error
/// screen: the one way an error on the command line or a named input ends
/// a run deep in the program.
[[noreturn]] inline void StopWithError(int32_t exitCode, std::string message) {
  throw TRunStop{exitCode, std::move(message)};
}

/// Stops the run with `exitCode`, everything there is to say already said.
[[noreturn]] inline void StopRun(int32_t exitCode) { throw TRunStop{exitCode, {}}; }

}  // namespace quorvid
