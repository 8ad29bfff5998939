#pragma once

#include "Picture.h"

#include <condition_variable>
#include <list>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {

// Pictures decoded ahead of need on a worker thread, so that stepping to a
// neighbour costs a paint rather than a decode. Only raster files are read
// ahead (metafiles are drawn by helper programs, at the size of the moment).
//
// The cache holds at most maxPictures pictures (the shown one, the one
// before, the one ahead and one to spare) and memoryCeiling bytes of pixels,
// dropping the least recently used first; a picture larger than half the
// ceiling is never kept. An
// entry serves only while its file's size and modification time are those
// it was decoded from. Two workers decode at once (one for each neighbour
// ahead); a newer request replaces whatever of the last one has not
// started, so work never piles up behind a held key.
class PictureCache
{
public:
    static constexpr qint64 memoryCeiling = 192ll * 1024 * 1024;
    static constexpr size_t maxPictures = 4;
    static constexpr size_t workers = 2;

    // Before the application object exists (BeforeToolkit), the workers do
    // only what needs no toolkit: the rough decode of JPEGs, finished by
    // take() on the caller's thread. Every other file waits to be chosen.
    enum class Start { ToolkitUp, BeforeToolkit };

    explicit PictureCache(PictureDecoder decoder = PictureDecoder({}, {}),
                          Start start = Start::ToolkitUp);
    ~PictureCache();
    PictureCache(const PictureCache &) = delete;
    PictureCache &operator=(const PictureCache &) = delete;

    // Decodes the paths at target (empty: natural size) in the background,
    // in this order, those not held or under way already; at most workers.
    void prefetch(const QStringList &paths, QSize target);
    // The held picture for path at target while its file is unchanged. Waits
    // only when that very picture is being decoded now; never for another.
    std::optional<Picture> take(const QString &path, QSize target);
    // Keeps a picture decoded elsewhere, so that stepping back finds it.
    void put(const Picture &picture, QSize target);
    // Forgets the pictures and requests of files outside folder (an
    // absolute path without a trailing separator).
    void keepFolder(const QString &folder);

    // The application object exists: workers decode whole from now on.
    void toolkitReady();

    // Decodes finished on the worker since the cache was made; for tests.
    int decodesDone() const;

private:
    struct FileStamp
    {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        bool operator==(const FileStamp &) const = default;
    };
    struct Job
    {
        QString path;
        QSize target;
        bool operator==(const Job &) const = default;
    };
    struct Entry
    {
        Job key;
        FileStamp stamp;
        Picture picture;
        std::optional<int> roughOrientation; // set: picture.image awaits finishing
    };

    static std::optional<FileStamp> stampOf(const QString &path);
    static qint64 bytesOf(const Picture &picture);
    void run();
    // With m_mutex held.
    bool holds(const Job &job, const FileStamp &stamp) const;
    bool running(const Job &job) const;
    void store(Entry entry);

    PictureDecoder m_decoder;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;    // the workers: a job is waiting, or stop
    std::condition_variable m_settled; // the users: the running job is done
    std::list<Entry> m_entries;        // most recently used first
    std::list<Job> m_waiting;
    std::list<Job> m_running;
    qint64 m_bytes = 0;
    int m_done = 0;
    int m_generation = 0;
    bool m_stop = false;
    bool m_toolkit = true;
    std::list<std::thread> m_workers;
};

} // namespace platform
