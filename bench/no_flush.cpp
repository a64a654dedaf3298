// Preloaded into zendrik-cli by the benchmark (LD_PRELOAD): every flush returns at once, so
// that the same run is timed with and without what its durability costs. Never shipped.
// (No system header here: glibc declares these noexcept, and C linkage needs one signature.)
extern "C" int fsync(int) {
    return 0;
}
extern "C" int fdatasync(int) {
    return 0;
}
