// Flushing many files to the disk at once.
//
// A flush (fsync, FlushFileBuffers) returns only when the file system has committed the
// file's metadata, and a journaling file system commits once for all the flushes that are
// waiting at that moment. Flushes issued one after another therefore wait for one commit
// each, and a batch of a thousand small copies costs a thousand commits; issued together
// from a few threads, they share commits, and the batch costs about what its bytes cost.
//
// Contract: flushTogether calls flush(i) exactly once for each i below count, from up to
// kFlushers threads (the calling thread alone for a single item), and returns when every
// call has returned: nothing of it runs after. `flush` must therefore be callable from
// several threads at once. The answer is the failure of the lowest i whose flush failed
// (0 is success), so that the same disk gives the same report whatever the threads did.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

namespace zendrik {

// How many flushes wait on the disk at once: enough that a commit serves many of them; the
// threads only wait, so more than the machine has cores is right.
inline constexpr size_t kFlushers = 16;

struct FlushFailure {
    size_t index = 0;  // the item whose flush failed
    int error = 0;     // what flush(index) returned
};

// Runs flush(0) ... flush(count - 1), several at a time; see the contract above. `flush`
// returns 0 or the system's error code.
std::optional<FlushFailure> flushTogether(size_t count, const std::function<int(size_t)>& flush);

}  // namespace zendrik
