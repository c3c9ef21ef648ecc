#include "platform/gdiplus/FileReplacement.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Gdiplus {

FileReplacement::~FileReplacement() {
    if (m_fd >= 0)
        Commit(false);
}

bool FileReplacement::Open(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    if (m_fd >= 0 || path.empty()) {
        errno = EINVAL;
        return false;
    }
    m_target = path;
    m_temp.clear();
    struct stat st;
    bool link = ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            m_fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            return m_fd >= 0;
        }
        // Replace the file a link names, not the link.
        char* real = link ? ::realpath(path.c_str(), nullptr) : nullptr;
        if (real) {
            m_target = real;
            std::free(real);
        }
    } else if (link) {
        // A link to nothing yet: the file is made where it points.
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        return m_fd >= 0;
    }
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_temp = m_target + ".tmp" + std::to_string(::getpid()) + "." + std::to_string(++counter);
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0)
        m_temp.clear();
    return m_fd >= 0;
}

bool FileReplacement::Commit(bool ok) {
    if (m_fd < 0) {
        errno = EBADF;
        return false;
    }
    int saved = errno;
    if (::close(m_fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    m_fd = -1;
    if (!m_temp.empty()) {
        if (ok && std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
            ok = false;
            saved = errno;
        }
        if (!ok)
            ::unlink(m_temp.c_str());
    }
    errno = saved;
    return ok;
}

} // namespace Gdiplus
