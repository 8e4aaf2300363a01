// Helpers shared by the fuzz targets: cutting one input into several values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quorvid::fuzz {

/// Reads fields off the front of a fuzz input: fixed-size numbers, and
/// texts that end at a NUL byte (or at the end of the input).
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  bool Empty() const { return rest_.empty(); }

  /// The next text up to a NUL byte, which is consumed.
  std::string_view Text() {
    size_t end = rest_.find('\0');
    std::string_view text = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return text;
  }

  /// Everything not read yet.
  std::string_view Rest() {
    std::string_view rest = rest_;
    rest_ = {};
    return rest;
  }

  /// The next sizeof(T) bytes as a T; zero bytes when the input is used up.
  template <typename T>
  T Number() {
    T value{};
    size_t n = rest_.size() < sizeof(T) ? rest_.size() : sizeof(T);
    std::memcpy(&value, rest_.data(), n);
    rest_.remove_prefix(n);
    return value;
  }

 private:
  std::string_view rest_;
};

/// Every NUL-separated piece of `text`, the empty ones included.
inline std::vector<std::string> SplitAtNul(std::string_view text) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\0', start);
    if (end == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace quorvid::fuzz
