#include "hashing/evp_hash.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace quorvid {

EvpHash::EvpHash(const std::string& name) {
  md_ = EVP_MD_fetch(nullptr, name.c_str(), nullptr);
  ctx_ = EVP_MD_CTX_new();
  if (md_ == nullptr || ctx_ == nullptr) {
    EVP_MD_CTX_free(ctx_);
    EVP_MD_free(md_);
    throw std::runtime_error("digest not available: " + name);
  }
  size_ = static_cast<size_t>(EVP_MD_get_size(md_));
  Reset();
}

EvpHash::~EvpHash() {
  EVP_MD_CTX_free(ctx_);
  EVP_MD_free(md_);
}

void EvpHash::Reset() { EVP_DigestInit_ex2(ctx_, md_, nullptr); }

void EvpHash::Update(const uint8_t* data, size_t size) {
  if (size > 0) EVP_DigestUpdate(ctx_, data, size);
}

void EvpHash::Final(uint8_t* out) {
  unsigned int written = 0;
  EVP_DigestFinal_ex(ctx_, out, &written);
}

}  // namespace quorvid
