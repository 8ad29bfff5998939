#include "AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <QFile>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pantrel {

bool replaceFile(const QString &path, const QByteArray &contents, bool executable,
                 QString *errorString)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    const auto fail = [&](int error) {
        if (errorString)
            *errorString = QString::fromLocal8Bit(std::strerror(error));
        return false;
    };
    if (fd < 0)
        return fail(errno);
    const auto discard = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return fail(error);
    };
    struct stat existing = {};
    mode_t mode = executable ? 0755 : 0644;
    if (::stat(target.constData(), &existing) == 0)
        mode = existing.st_mode & 07777;
    if (executable)
        mode |= S_IXUSR;
    if (::fchmod(fd, mode) != 0)
        return discard(errno);
    const char *data = contents.constData();
    size_t left = size_t(contents.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return discard(errno);
        }
        data += written;
        left -= size_t(written);
    }
    if (::fsync(fd) != 0)
        return discard(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return fail(error);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return fail(error);
    }
    return true;
}

FileLock::FileLock(const QString &path) : m_path(QFile::encodeName(path) + ".lock") {}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileLock::tryLock(int timeoutMs)
{
    if (m_fd < 0)
        m_fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace pantrel
