// Base64: decoding typed texts, and the streaming encoder and decoder the
// file forms use, fed in pieces of random size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "support/base64.h"

using namespace quorvid;

namespace {

// Feeds `text` in pieces whose sizes come from `sizes`, cycling.
template <typename Coder>
std::string InPieces(std::string_view text, std::string_view sizes) {
  Coder coder;
  std::string out;
  size_t i = 0;
  while (!text.empty()) {
    size_t n = sizes.empty() ? text.size() : 1 + static_cast<unsigned char>(sizes[i++ % sizes.size()]);
    n = std::min(n, text.size());
    coder.Update(text.substr(0, n), out);
    text.remove_prefix(n);
  }
  coder.Finish(out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  fuzz::FuzzInput input(data, size);
  std::string_view sizes = input.Text().substr(0, 16);
  std::string_view text = input.Rest();

  DecodeText(text);

  // The piecewise decoder gives the same bytes however the input is cut.
  if (InPieces<Base64Decoder>(text, sizes) != InPieces<Base64Decoder>(text, {})) std::abort();

  // Encoding in pieces equals encoding whole, and decoding gives the bytes back.
  std::string encoded = EncodeText(text);
  if (InPieces<Base64Encoder>(text, sizes) != encoded) std::abort();
  if (encoded.size() != (text.size() + 2) / 3 * 4) std::abort();
  if (DecodeText(encoded) != text) std::abort();
  if (InPieces<Base64Decoder>(encoded, sizes) != text) std::abort();
  return 0;
}
