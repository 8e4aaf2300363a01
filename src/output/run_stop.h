// How a run stops early: deep in a mode, an error that ends the run throws
// this, and the run's top catches it, so every object on the way (threads,
// files) is finished by its destructor before the process ends.
#pragma once

#include <cstdint>

namespace quorvid {

/// Ends the run with `exitCode`; thrown, never caught below the run's top.
struct TRunStop {
  int32_t exitCode;
};

}  // namespace quorvid
