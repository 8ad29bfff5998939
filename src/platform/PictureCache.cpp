#include "PictureCache.h"
#include "FileNames.h"

#include "Error.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace platform {

PictureCache::PictureCache(PictureDecoder decoder, Start start)
    : m_decoder(std::move(decoder)), m_toolkit(start == Start::ToolkitUp)
{
    // Reading ahead, all the workers together stay within one decode's limit.
    m_decoder.setMemoryLimit(m_decoder.memoryLimit() / qint64(workers));
    for (size_t i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { run(); });
}

PictureCache::~PictureCache()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_waiting.clear();
    }
    m_wake.notify_all();
    for (std::thread &worker : m_workers)
        worker.join();
}

std::optional<PictureCache::FileStamp> PictureCache::stampOf(const QString &path)
{
    struct stat info = {};
    if (::stat(nameBytes(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileStamp{qint64(info.st_size),
                     qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

qint64 PictureCache::bytesOf(const Picture &picture)
{
    return picture.image.sizeInBytes();
}

bool PictureCache::holds(const Job &job, const FileStamp &stamp) const
{
    for (const Entry &entry : m_entries) {
        if (entry.key == job)
            return entry.stamp == stamp;
    }
    return false;
}

bool PictureCache::running(const Job &job) const
{
    return std::find(m_running.begin(), m_running.end(), job) != m_running.end();
}

void PictureCache::prefetch(const QStringList &paths, QSize target)
{
    std::list<std::pair<Job, FileStamp>> wanted;
    for (const QString &path : paths) {
        if (const std::optional<FileStamp> stamp = stampOf(path))
            wanted.push_back({{path, target}, *stamp});
    }
    {
        std::lock_guard lock(m_mutex);
        m_waiting.clear();
        for (const auto &[job, stamp] : wanted) {
            if (m_waiting.size() < workers && !holds(job, stamp) && !running(job))
                m_waiting.push_back(job);
        }
    }
    m_wake.notify_all();
}

std::optional<Picture> PictureCache::take(const QString &path, QSize target)
{
    const Job job{path, target};
    std::unique_lock lock(m_mutex);
    // The decode of this very picture is under way: finishing it is sooner
    // than starting again.
    m_settled.wait(lock, [&] { return !running(job); });
    const std::optional<FileStamp> stamp = stampOf(path);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key != job)
            continue;
        if (!stamp || it->stamp != *stamp) {
            m_bytes -= bytesOf(it->picture);
            m_entries.erase(it);
            return std::nullopt;
        }
        m_entries.splice(m_entries.begin(), m_entries, it);
        if (it->roughOrientation) {
            m_bytes -= bytesOf(it->picture);
            // A box asks for its own exact size of the picture.
            it->picture = PictureDecoder::finish(
                {it->picture, exactTarget(target, it->picture.naturalSize), *it->roughOrientation});
            it->roughOrientation.reset();
            m_bytes += bytesOf(it->picture);
        }
        return it->picture;
    }
    return std::nullopt;
}

void PictureCache::put(const Picture &picture, QSize target)
{
    if (picture.isNull() || picture.isVector())
        return;
    const std::optional<FileStamp> stamp = stampOf(picture.path);
    if (!stamp)
        return;
    std::lock_guard lock(m_mutex);
    store({{picture.path, target}, *stamp, picture, std::nullopt});
}

void PictureCache::store(Entry entry)
{
    const qint64 bytes = bytesOf(entry.picture);
    if (bytes > memoryCeiling / 2)
        return;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->key == entry.key) {
            m_bytes -= bytesOf(it->picture);
            m_entries.erase(it);
            break;
        }
    }
    m_entries.push_front(std::move(entry));
    m_bytes += bytes;
    while ((m_bytes > memoryCeiling || m_entries.size() > maxPictures) && m_entries.size() > 1) {
        m_bytes -= bytesOf(m_entries.back().picture);
        m_entries.pop_back();
    }
}

void PictureCache::keepFolder(const QString &folder)
{
    const auto outside = [&](const Job &job) {
        return QFileInfo(job.path).absolutePath() != folder;
    };
    std::lock_guard lock(m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (outside(it->key)) {
            m_bytes -= bytesOf(it->picture);
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    m_waiting.remove_if(outside);
    // What the workers are decoding now is dropped when it is done.
    if (std::any_of(m_running.begin(), m_running.end(), outside))
        ++m_generation;
}

void PictureCache::toolkitReady()
{
    std::lock_guard lock(m_mutex);
    m_toolkit = true;
}

int PictureCache::decodesDone() const
{
    std::lock_guard lock(m_mutex);
    return m_done;
}

void PictureCache::run()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [this] { return m_stop || !m_waiting.empty(); });
        if (m_stop)
            return;
        const Job job = m_waiting.front();
        m_waiting.pop_front();
        m_running.push_back(job);
        const int generation = m_generation;
        const bool toolkit = m_toolkit;
        lock.unlock();

        // Stamped before reading, so a change while decoding makes a miss.
        const std::optional<FileStamp> stamp = stampOf(job.path);
        std::optional<Picture> decoded;
        std::optional<int> roughOrientation;
        if (stamp) {
            try {
                if (!toolkit) {
                    if (std::optional<RoughJpeg> rough =
                            m_decoder.loadRough(job.path, job.target)) {
                        decoded = std::move(rough->picture);
                        roughOrientation = rough->orientation;
                    }
                } else if (Picture picture = m_decoder.loadRaster(job.path, job.target);
                           !picture.isNull()) {
                    decoded = std::move(picture);
                }
            } catch (const Error &) {
                // A bad file is reported when it is chosen, by the decode then.
            } catch (const std::exception &) {
                // Out of memory here is no reason to end the program.
            }
        }

        lock.lock();
        if (decoded && generation == m_generation)
            store({job, *stamp, std::move(*decoded), roughOrientation});
        ++m_done;
        m_running.erase(std::find(m_running.begin(), m_running.end(), job));
        m_settled.notify_all();
    }
}

} // namespace platform
