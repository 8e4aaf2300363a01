// BLAKE3 over one large regular file on every core. Whole views at the front
// of the file are whole subtrees of its hash tree: each thread claims the
// next view, hashes it with a hasher of its own and hands on the chaining
// value, and the values are added to the file's hasher in file order, so
// the digest is the one-thread digest. Each thread maps and reads its own
// part of the file (the threads share no page-table lock while the pages
// come in), and one view per thread is mapped at a time.
#pragma once

#include <cstddef>
#include <functional>

#include "hashing/blake3.h"
#include "platform/file_reader.h"

namespace quorvid {

/// Feeds the whole views of `viewSize` bytes (a power of two, at least one
/// chunk and a multiple of the page size) at the front of the regular file
/// open in `reader` to `hasher` (just reset), on up to `threads` threads, and
/// moves the read position past them, so Read goes on with the rest. The
/// file's size at open must hold at least two whole views. A thread that
/// cannot have a view (the process's view budget is spent) reads its part
/// instead. False when a part cannot be read whole (the file was cut short
/// or a page was lost) or `abandon`, asked on the calling thread between
/// views, says stop; `hasher` is then of no use.
bool HashWholeViewsInParallel(platform::FileReader& reader, Blake3& hasher, size_t viewSize,
                              size_t threads, const std::function<bool()>& abandon);

}  // namespace quorvid
