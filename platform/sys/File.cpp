#include "platform/sys/File.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

// Appends the file's bytes to `out` (a std::string or std::vector<uint8_t>).
template <typename Buffer>
bool ReadInto(const std::string& path, Buffer* out, std::size_t maxBytes) {
    if (out == nullptr)
        return false;
    out->clear();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused just below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              static_cast<uint64_t>(st.st_size) <= maxBytes;
    if (ok)
        out->reserve(static_cast<std::size_t>(st.st_size));
    // The size may change while reading: the cap is checked on what is actually read.
    char chunk[65536];
    while (ok) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || out->size() + static_cast<std::size_t>(n) > maxBytes)
            ok = false;
        else if (n == 0)
            break;
        else
            out->insert(out->end(), chunk, chunk + n);
    }
    ::close(fd);
    if (!ok)
        out->clear();
    return ok;
}

} // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* out, std::size_t maxBytes) {
    return ReadInto(path, out, maxBytes);
}

bool ReadFileText(const std::string& path, std::string* out, std::size_t maxBytes) {
    return ReadInto(path, out, maxBytes);
}

} // namespace plat
