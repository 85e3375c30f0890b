// A library loaded with dlopen whose thread_local block is small: glibc gives each thread that
// touches it a block of dynamic TLS from malloc, and the sanitizer's allocator puts the first
// block of that size 16 bytes past a page boundary.
thread_local int tinyTls[4];

extern "C" int* FeldanTinyTls() {
    return tinyTls;
}
