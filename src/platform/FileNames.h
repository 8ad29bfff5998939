#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

namespace platform {

// File names are bytes; most are UTF-8. A byte that is not part of valid
// UTF-8 is carried in the name's text as the lone surrogate U+DC00 + byte,
// so a name read from a folder opens again as exactly the bytes it had.
QString nameFromBytes(QByteArrayView bytes);
QByteArray nameBytes(const QString &name);
// The name as a person reads it: each carried byte shows as U+FFFD.
QString displayName(const QString &name);

// The size and time of change of a regular file; nothing when it is not
// one or cannot be looked at.
struct FileFacts
{
    qint64 size = 0;
    QDateTime modified;
};
std::optional<FileFacts> regularFileFacts(const QString &path);

// Opens a regular file to read, never waiting on it: a FIFO or device put in
// a file's place is refused, not read. Gives the descriptor (close-on-exec),
// or -1 with errno set (EINVAL for a file that is not a regular one).
int openRegularFile(const QString &path);

// Owns a descriptor and closes it.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    // Gives the descriptor up to the caller, who then closes it.
    int release();

private:
    int m_fd;
};

} // namespace platform
