// The options every program of a sanitized build starts with; ASAN_OPTIONS given at run time
// still override each one it names.
//
// intercept_tls_get_addr=0: the runtimes of Debian 12 (GCC 12's libasan, clang 14's) take a
// block of dynamic TLS whose address is 16 bytes past a page boundary for one with the header
// of glibc before 2.25, and read the two words in front of it as the block's address and size.
// Since glibc 2.25 there is no such header, so a block that lands there by chance (where the
// heap lies, and that moves with the size of the environment) gives LeakSanitizer a range of
// garbage, and its tracer dies with signal 11 after every test has passed. LLVM 17 dropped the
// old header. Without the interception LeakSanitizer does not scan dynamic TLS (the thread_local
// variables of libraries loaded with dlopen, such as Qt's plugins): a pointer kept only there
// could be reported as a leak that is none; no real leak is hidden.
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
