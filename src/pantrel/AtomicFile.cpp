#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QFile>
#include <sys/stat.h>
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

} // namespace pantrel
