// The program a user starts. The window and the windowless parse mode are
// programs of their own beside it: reading a query loads no window-system
// library, and starting the window costs one more exec of this small file.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

// The folder this program was started from, with a trailing slash; empty
// when the kernel does not say.
std::string ownFolder()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || size_t(length) >= path.size())
        return {};
    path.resize(size_t(length));
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

int main(int, char **argv)
{
    const char *name = std::getenv("TOVALO_PARSE") ? "tovalo-parse" : "tovalo-window";
    const std::string program = ownFolder() + name;
    // The same arguments, and argv[0] as given: the window names itself after it.
    execv(program.c_str(), argv);
    std::fprintf(stderr, "tovalo: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 127;
}
