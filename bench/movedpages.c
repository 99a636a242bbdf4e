/* What this machine charges for memory that the C library moved: a buffer that grows by
 * realloc past some tens of MiB is mapped on its own and moved with mremap, as the text of a
 * long report in the window is while the report arrives. Prints the seconds of a first and a
 * second reading of MIB mebibytes written, moved one page off their alignment, then read.
 *     moved-pages [MIB]        (default 256)
 * Where the system moves page table entries at no cost, both readings take about as long. */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>

static double Now(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

/* Seconds to read a byte of every cache line. */
static double ReadThrough(const volatile unsigned char* data, size_t bytes)
{
    const double start = Now();
    unsigned sum = 0;
    for (size_t at = 0; at < bytes; at += 64)
        sum += data[at];
    if (sum == 1)
        puts("");
    return Now() - start;
}

int main(int argc, char** argv)
{
    const size_t page = 4096;
    const size_t bytes = (size_t)(argc > 1 ? atol(argv[1]) : 256) << 20;
    if (bytes == 0) {
        fputs("moved-pages: give the size in MiB\n", stderr);
        return 2;
    }
    /* A mapping one page past an alignment of 2 MiB, as the C library's own are. */
    unsigned char* mapped =
        mmap(NULL, bytes + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        perror("moved-pages: mmap");
        return 2;
    }
    munmap(mapped, page);
    unsigned char* data = mapped + page;
    memset(data, 'x', bytes);
    unsigned char* moved = mremap(data, bytes, 2 * bytes, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) {
        perror("moved-pages: mremap");
        return 2;
    }
    const double first = ReadThrough(moved, bytes);
    const double second = ReadThrough(moved, bytes);
    printf("%.4f %.4f\n", first, second);
    return 0;
}
