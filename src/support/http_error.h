// The one error type of a web fetch: its message is the one line the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace quorvid {

/// Raised by every failing step of HttpGet; what() is the complete message.
class HttpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace quorvid
