#include "samefile.h"

#include <sys/stat.h>

namespace bFile {

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat infoA, infoB;
    return stat(a.c_str(), &infoA) == 0 && stat(b.c_str(), &infoB) == 0 &&
           infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

} // namespace bFile
