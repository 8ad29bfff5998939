#include "FileNames.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <QUtf8StringView>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char16_t CarriedBase = 0xDC00;

bool isCarried(QChar c)
{
    return c.unicode() >= CarriedBase + 0x80 && c.unicode() <= CarriedBase + 0xFF;
}

// The length of a valid UTF-8 sequence at the start of the bytes, 0 when
// none starts there.
qsizetype validSequence(const unsigned char *p, qsizetype left)
{
    const unsigned char b = p[0];
    if (b < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t least = 0;
    if ((b & 0xE0) == 0xC0)
        length = 2, least = 0x80;
    else if ((b & 0xF0) == 0xE0)
        length = 3, least = 0x800;
    else if ((b & 0xF8) == 0xF0)
        length = 4, least = 0x10000;
    else
        return 0;
    if (length > left)
        return 0;
    char32_t code = b & (0x7F >> length);
    for (qsizetype i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString nameFromBytes(QByteArrayView bytes)
{
    if (QUtf8StringView(bytes.data(), bytes.size()).isValidUtf8())
        return QString::fromUtf8(bytes);
    QString name;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequence(p + i, bytes.size() - i);
        if (length == 0) {
            name += QChar(char16_t(CarriedBase + p[i]));
            ++i;
        } else {
            name += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        }
    }
    return name;
}

QByteArray nameBytes(const QString &name)
{
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isCarried(name[i]))
            continue;
        bytes += QStringView(name).sliced(run, i - run).toUtf8();
        bytes += char(name[i].unicode() - CarriedBase);
        run = i + 1;
    }
    if (run == 0)
        return name.toUtf8();
    return bytes + QStringView(name).sliced(run).toUtf8();
}

QString displayName(const QString &name)
{
    if (std::none_of(name.cbegin(), name.cend(), isCarried))
        return name;
    QString shown = name;
    for (QChar &c : shown) {
        if (isCarried(c))
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

std::optional<FileFacts> regularFileFacts(const QString &path)
{
    struct stat info = {};
    if (::stat(nameBytes(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileFacts{qint64(info.st_size),
                     QDateTime::fromMSecsSinceEpoch(qint64(info.st_mtim.tv_sec) * 1000 +
                                                    info.st_mtim.tv_nsec / 1000000)};
}

int openRegularFile(const QString &path)
{
    FileDescriptor fd(::open(nameBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return -1;
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0)
        return -1;
    if (!S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    // Reads of a regular file then block as usual.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd.release();
}

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0) {
        const int saved = errno;
        ::close(m_fd);
        errno = saved;
    }
}

int FileDescriptor::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

} // namespace platform
