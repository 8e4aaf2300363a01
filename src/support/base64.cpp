#include "support/base64.h"

#include <array>

namespace quorvid {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of each byte in the alphabet, -1 for any other byte.
constexpr std::array<int, 256> MakeValues() {
  std::array<int, 256> values{};
  for (int& v : values) v = -1;
  for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = i;
  return values;
}
constexpr std::array<int, 256> kValues = MakeValues();

void EncodeGroup(const unsigned char* in, int count, std::string& out) {
  const unsigned int group = (static_cast<unsigned int>(in[0]) << 16) |
                             (count > 1 ? static_cast<unsigned int>(in[1]) << 8 : 0u) |
                             (count > 2 ? static_cast<unsigned int>(in[2]) : 0u);
  out += kAlphabet[(group >> 18) & 63];
  out += kAlphabet[(group >> 12) & 63];
  out += count > 1 ? kAlphabet[(group >> 6) & 63] : '=';
  out += count > 2 ? kAlphabet[group & 63] : '=';
}

// Characters, not bytes: a UTF-8 sequence counts once.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

}  // namespace

void Base64Encoder::Update(std::string_view bytes, std::string& out) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t size = bytes.size();
  out.reserve(out.size() + (size + pendingCount_) / 3 * 4);
  while (pendingCount_ > 0 && pendingCount_ < 3 && size > 0) {
    if (pendingCount_ == 2) {
      const unsigned char group[3] = {pending_[0], pending_[1], *data};
      EncodeGroup(group, 3, out);
      pendingCount_ = 0;
    } else {
      pending_[pendingCount_++] = *data;
    }
    ++data;
    --size;
  }
  while (size >= 3) {
    EncodeGroup(data, 3, out);
    data += 3;
    size -= 3;
  }
  while (size > 0) {
    pending_[pendingCount_++] = *data++;
    --size;
  }
}

void Base64Encoder::Finish(std::string& out) {
  if (pendingCount_ > 0) EncodeGroup(pending_, pendingCount_, out);
  pendingCount_ = 0;
}

void Base64Decoder::Update(std::string_view text, std::string& out) {
  if (stopped_) return;
  out.reserve(out.size() + text.size() / 4 * 3);
  for (unsigned char c : text) {
    if (c == '=') {
      // The padding says how many bytes the last group holds.
      if (count_ == 2) {
        out += static_cast<char>((bits_ >> 4) & 0xFF);
      } else if (count_ == 3) {
        out += static_cast<char>((bits_ >> 10) & 0xFF);
        out += static_cast<char>((bits_ >> 2) & 0xFF);
      }
      count_ = 0;
      bits_ = 0;
      stopped_ = true;
      return;
    }
    const int value = kValues[c];
    if (value < 0) continue;
    bits_ = (bits_ << 6) | static_cast<unsigned int>(value);
    if (++count_ == 4) {
      out += static_cast<char>((bits_ >> 16) & 0xFF);
      out += static_cast<char>((bits_ >> 8) & 0xFF);
      out += static_cast<char>(bits_ & 0xFF);
      count_ = 0;
      bits_ = 0;
    }
  }
}

void Base64Decoder::Finish(std::string&) {
  count_ = 0;
  bits_ = 0;
}

std::string EncodeText(std::string_view bytes) {
  std::string out;
  Base64Encoder encoder;
  encoder.Update(bytes, out);
  encoder.Finish(out);
  return out;
}

std::string DecodeText(std::string_view text) {
  if (text.empty()) return {};
  std::string completed(text);
  for (size_t length = CharacterCount(text); length % 4 != 0; ++length) completed += '=';
  std::string out;
  Base64Decoder decoder;
  decoder.Update(completed, out);
  decoder.Finish(out);
  return out;
}

}  // namespace quorvid
