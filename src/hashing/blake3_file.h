// BLAKE3 over one large regular file on every thread of the run. Whole parts
// at the front of the file are whole subtrees of its hash tree: each thread
// claims the next part, reads it into a buffer of its own and hashes it with
// a hasher of its own, and the chaining values join the file's hasher in
// file order, so the digest is the one-thread digest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "hashing/blake3.h"
#include "hashing/hash_context.h"
#include "platform/file_reader.h"

namespace quorvid {

/// The part size for a file of `fileSize` bytes hashed on `width` threads:
/// about sixteen parts a thread, so the threads finish close together,
/// between 256 KiB and 4 MiB (a power of two).
size_t PartSizeFor(int64_t fileSize, size_t width);

/// Writes the BLAKE3 digest of the regular file open in `reader` (read
/// position at its start, more than two parts of `partSize` long) to `out`:
/// its whole parts on the context's threads, the rest on the calling thread.
/// False when a part or the rest cannot be read whole (the file was cut
/// short, a read failed) or the context's abandon says stop.
bool HashBlake3InParts(platform::FileReader& reader, size_t partSize, const THashContext& context,
                       uint8_t out[blake3::kOutLen]);

}  // namespace quorvid
