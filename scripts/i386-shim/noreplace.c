/* Preloaded into 32-bit Linux processes (Wine's loader and everything it starts) when
 * they run through qemu's user-mode emulator. qemu treats MAP_FIXED_NOREPLACE as a mere
 * hint and maps the region elsewhere when the address is taken; Wine keeps such a region
 * if it lies high and then reserves its address space piece by piece around it, about
 * a hundred thousand mmap calls that cost each process a minute of processor time. Here
 * a mapping that did not land where it was asked is undone and reported as EEXIST, as
 * the kernel does. Built with -nostdlib: no 32-bit C library headers are needed. */
typedef unsigned int size_t;
typedef long off_t;
typedef long long off64_t;

extern void *dlsym(void *handle, const char *name);
extern int munmap(void *addr, size_t len);
extern int *__errno_location(void);

#define RTLD_NEXT ((void *)-1l)
#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void *)-1)
#define EEXIST 17

static void *landed(void *want, void *got, size_t len, int flags) {
    if (!(flags & MAP_FIXED_NOREPLACE) || got == MAP_FAILED || got == want) return got;
    munmap(got, len);
    *__errno_location() = EEXIST;
    return MAP_FAILED;
}

void *mmap(void *addr, size_t len, int prot, int flags, int fd, off_t off) {
    static void *(*next)(void *, size_t, int, int, int, off_t);
    if (!next) next = (void *(*)(void *, size_t, int, int, int, off_t))dlsym(RTLD_NEXT, "mmap");
    return landed(addr, next(addr, len, prot, flags, fd, off), len, flags);
}

void *mmap64(void *addr, size_t len, int prot, int flags, int fd, off64_t off) {
    static void *(*next)(void *, size_t, int, int, int, off64_t);
    if (!next) next = (void *(*)(void *, size_t, int, int, int, off64_t))dlsym(RTLD_NEXT, "mmap64");
    return landed(addr, next(addr, len, prot, flags, fd, off), len, flags);
}
