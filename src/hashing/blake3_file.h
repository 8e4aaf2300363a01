// BLAKE3 over one large regular file on every core. Whole parts at the front
// of the file are whole subtrees of its hash tree: each thread claims the
// next part, gets its bytes and hashes them with a hasher of its own and
// hands on the chaining value, and the values are added to the file's hasher
// in file order, so the digest is the one-thread digest. A thread either
// reads its parts into a small buffer of its own, so the copying out of the
// file cache is spread over the cores too, or views them straight in the
// file cache, whichever the machine does more cheaply.
#pragma once

#include <cstddef>
#include <functional>

#include "hashing/blake3.h"
#include "platform/file_reader.h"

namespace quorvid {

/// How the threads get the bytes of their parts.
enum class PartAccess {
  Measure,  // time both on the first parts, then keep one for the run
  Read,     // copied into a buffer of the thread's own
  View,     // viewed in the file cache (read when the view budget is spent)
};

/// Sets how later calls get their parts, and forgets what was measured. A
/// run starts with Measure: views cost almost nothing on some machines and
/// several times the copy on others (some virtual machines make every new
/// page of a view costly). While measuring, each thread reads its first part
/// of a call untimed, then views and reads parts in turn; once three parts
/// of each way were timed in the run, views hold for the rest of it unless
/// they were clearly dearer per byte.
void SetPartAccess(PartAccess access);

/// How parts are got now: Measure until the run has decided.
PartAccess CurrentPartAccess();

/// Feeds the whole parts of `partSize` bytes (a power of two, at least one
/// chunk) at the front of the regular file open in `reader` to `hasher`
/// (just reset), on up to `threads` threads, and moves the read position
/// past them, so Read goes on with the rest. The file's size at open must
/// hold at least two whole parts. False when a part cannot be read whole
/// (the file was cut short, or a read failed) or `abandon`, asked on the
/// calling thread between parts, says stop; `hasher` is then of no use.
bool HashWholePartsInParallel(platform::FileReader& reader, Blake3& hasher, size_t partSize,
                              size_t threads, const std::function<bool()>& abandon);

}  // namespace quorvid
