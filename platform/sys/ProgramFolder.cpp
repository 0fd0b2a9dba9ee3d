#include "platform/sys/ProgramFolder.h"

#include <climits>
#include <unistd.h>

namespace plat {

std::string GetProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string folder(path, static_cast<std::size_t>(n));
    const std::size_t slash = folder.rfind('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    folder.resize(slash);
    return folder;
}

} // namespace plat
