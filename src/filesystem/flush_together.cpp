#include "filesystem/flush_together.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace zendrik {

std::optional<FlushFailure> flushTogether(size_t count, const std::function<int(size_t)>& flush) {
    std::vector<int> errors(count, 0);
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i; (i = next.fetch_add(1)) < count;) errors[i] = flush(i);
    };
    {
        std::vector<std::jthread> helpers;
        const size_t threads = std::min(count, kFlushers);
        for (size_t t = 1; t < threads; ++t) {
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                break;  // no more threads to be had: those running, and this one, do it all
            }
        }
        work();
    }  // every helper joined here
    for (size_t i = 0; i < count; ++i) {
        if (errors[i] != 0) return FlushFailure{i, errors[i]};
    }
    return std::nullopt;
}

}  // namespace zendrik
