// Threads that hold a block of dynamic TLS are alive when LeakSanitizer checks at exit. With
// the interception of __tls_get_addr on, the runtimes of Debian 12 read such a block as one
// with an old glibc header and hand the tracer a range of garbage, which kills it (signal 11,
// exit status 1). The program passes when leak checking copes with dynamic TLS.
//   feldan_dynamic_tls_check LIBRARY THREADS
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

using TlsOf = int* (*)();
TlsOf tlsOf = nullptr;
pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t ready = PTHREAD_COND_INITIALIZER;
int started = 0;

void* Hold(void*) {
    tlsOf()[0] = 1;  // the first touch allocates this thread's block
    pthread_mutex_lock(&lock);
    ++started;
    pthread_cond_broadcast(&ready);
    pthread_mutex_unlock(&lock);
    for (;;)
        pause();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIBRARY THREADS\n", argv[0]);
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    tlsOf = reinterpret_cast<TlsOf>(dlsym(library, "FeldanTinyTls"));
    if (tlsOf == nullptr) return 2;
    const int threads = std::atoi(argv[2]);
    for (int i = 0; i < threads; ++i) {
        pthread_t thread;
        if (pthread_create(&thread, nullptr, Hold, nullptr) != 0) return 2;
        pthread_detach(thread);
    }
    pthread_mutex_lock(&lock);
    while (started < threads)
        pthread_cond_wait(&ready, &lock);
    pthread_mutex_unlock(&lock);
    return 0;  // the leak check runs now, with every thread alive
}
