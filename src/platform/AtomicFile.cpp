#include "AtomicFile.h"
#include "FileNames.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

bool isTemporaryOf(const QByteArray &base, const char *name)
{
    const size_t length = std::strlen(name);
    if (length != size_t(base.size()) + 7 ||
        std::strncmp(name, base.constData(), base.size()) != 0 || name[base.size()] != '.')
        return false;
    for (size_t i = size_t(base.size()) + 1; i < length; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

} // namespace

int removeStaleTemporaries(const QString &path, int minimumAgeSeconds)
{
    const QByteArray target = nameBytes(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(qMax<qsizetype>(slash, 1));
    const QByteArray base = target.mid(slash + 1);
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return 0;
    int removed = 0;
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        if (!isTemporaryOf(base, entry->d_name))
            continue;
        const int fd =
            ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat facts = {};
        // A writer holds its temporary locked until the rename; one whose
        // writer ended holds no lock.
        if (::fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode) &&
            now - facts.st_mtim.tv_sec >= minimumAgeSeconds &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

bool replaceFile(const QString &path, const QByteArray &contents, QString *errorString)
{
    const QByteArray target = nameBytes(path);
    QByteArray temporary = target + ".XXXXXX";
    removeStaleTemporaries(path);
    const int fd = ::mkstemp(temporary.data());
    const auto fail = [&](int error) {
        if (errorString)
            *errorString = QString::fromLocal8Bit(std::strerror(error));
        return false;
    };
    if (fd < 0)
        return fail(errno);
    ::flock(fd, LOCK_EX);
    const auto discard = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return fail(error);
    };
    struct stat existing = {};
    const bool replacing = ::stat(target.constData(), &existing) == 0;
    const mode_t mode = replacing ? existing.st_mode & 07777 : 0600;
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
    // Readers that cache a file by its size and time to the millisecond
    // (the toolkit's settings) must see a change made within the same one.
    struct stat fresh = {};
    if (replacing && ::fstat(fd, &fresh) == 0) {
        const auto ms = [](const timespec &t) {
            return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
        };
        if (ms(fresh.st_mtim) <= ms(existing.st_mtim)) {
            const qint64 later = ms(existing.st_mtim) + 1;
            const timespec times[2] = {{0, UTIME_OMIT},
                                       {time_t(later / 1000), long(later % 1000) * 1000000}};
            ::futimens(fd, times);
        }
    }
    if (::fsync(fd) != 0)
        return discard(errno);
    // Closed only after the rename, so the lock covers the temporary's whole life.
    if (::rename(temporary.constData(), target.constData()) != 0)
        return discard(errno);
    ::close(fd);
    return true;
}

FileLock::FileLock(const QString &path) : m_path(nameBytes(path) + ".lock") {}

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
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace platform
