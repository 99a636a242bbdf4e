/* The read floor: what reading two files and comparing them costs at the least. Both files
 * are read in turn, 256 KiB at a time, into page-aligned buffers and compared with memcmp.
 *     read-floor FILE1 FILE2
 * Exit status 0 when the files are equal, 1 when they differ, 2 on trouble. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kBlock = 256 * 1024, kPage = 4096 };

/* Fills the buffer from the file; the byte count read, short only at its end. */
static ssize_t FillBlock(int fd, unsigned char* buffer)
{
    ssize_t filled = 0;
    while (filled < kBlock) {
        const ssize_t got = read(fd, buffer + filled, (size_t)(kBlock - filled));
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fputs("usage: read-floor FILE1 FILE2\n", stderr);
        return 2;
    }
    int fd[2];
    unsigned char* buffer[2];
    for (int f = 0; f < 2; f++) {
        fd[f] = open(argv[f + 1], O_RDONLY);
        if (fd[f] < 0 || posix_memalign((void**)&buffer[f], kPage, kBlock) != 0) {
            perror(argv[f + 1]);
            return 2;
        }
    }
    int differ = 0;
    for (;;) {
        ssize_t got[2];
        for (int f = 0; f < 2; f++) {
            got[f] = FillBlock(fd[f], buffer[f]);
            if (got[f] < 0) {
                perror(argv[f + 1]);
                return 2;
            }
        }
        const ssize_t common = got[0] < got[1] ? got[0] : got[1];
        if (got[0] != got[1] || memcmp(buffer[0], buffer[1], (size_t)common) != 0)
            differ = 1;
        if (common < kBlock)
            break;
    }
    return differ;
}
