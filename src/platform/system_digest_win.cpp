#include "platform/system_digest.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <string>

namespace quorvid::platform {

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

const wchar_t* AlgorithmId(std::string_view name) {
  if (name == "MD5") return BCRYPT_MD5_ALGORITHM;
  if (name == "SHA1") return BCRYPT_SHA1_ALGORITHM;
  if (name == "SHA2-256") return BCRYPT_SHA256_ALGORITHM;
  if (name == "SHA2-384") return BCRYPT_SHA384_ALGORITHM;
  if (name == "SHA2-512") return BCRYPT_SHA512_ALGORITHM;
  return nullptr;
}

}  // namespace

std::unique_ptr<SystemDigest> SystemDigest::Open(std::string_view name) {
  const wchar_t* id = AlgorithmId(name);
  if (id == nullptr) return nullptr;
  std::unique_ptr<SystemDigest> digest(new SystemDigest());
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm, id, nullptr, 0))) return nullptr;
  digest->algorithm_ = algorithm;
  DWORD length = 0;
  ULONG written = 0;
  if (!Succeeded(BCryptGetProperty(algorithm, BCRYPT_HASH_LENGTH,
                                   reinterpret_cast<PUCHAR>(&length), sizeof length, &written,
                                   0)))
    return nullptr;
  digest->size_ = length;
  if (!digest->Reset()) return nullptr;
  return digest;
}

SystemDigest::~SystemDigest() {
  if (hash_ != nullptr) BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(hash_));
  if (algorithm_ != nullptr)
    BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(algorithm_), 0);
}

bool SystemDigest::Reset() {
  // A new hash object per computation: older systems cannot reuse one.
  if (hash_ != nullptr) BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(hash_));
  hash_ = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!Succeeded(BCryptCreateHash(static_cast<BCRYPT_ALG_HANDLE>(algorithm_), &hash, nullptr, 0,
                                  nullptr, 0, 0)))
    return false;
  hash_ = hash;
  return true;
}

bool SystemDigest::Update(const uint8_t* data, size_t size) {
  // The system takes at most 4 GiB - 1 bytes per call.
  while (size > 0) {
    const ULONG piece = static_cast<ULONG>(std::min<size_t>(size, 1u << 30));
    if (!Succeeded(BCryptHashData(static_cast<BCRYPT_HASH_HANDLE>(hash_),
                                  const_cast<PUCHAR>(data), piece, 0)))
      return false;
    data += piece;
    size -= piece;
  }
  return true;
}

bool SystemDigest::Final(uint8_t* out) {
  return Succeeded(BCryptFinishHash(static_cast<BCRYPT_HASH_HANDLE>(hash_), out,
                                    static_cast<ULONG>(size_), 0));
}

}  // namespace quorvid::platform
