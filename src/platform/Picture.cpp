#include "Picture.h"
#include "FileNames.h"

#include "Error.h"
#include "Jpeg.h"
#include "metafile/MetafileGeometry.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <memory>
#include <new>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QPointer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <sys/prctl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

Error invalidPicture(const QString &detail = {})
{
    return Error(Error::InvalidPicture, detail.isEmpty()
                                            ? QStringLiteral("Invalid picture.")
                                            : QStringLiteral("Invalid picture: %1").arg(detail));
}

constexpr int MaxIconSide = 1024;

Error tooLarge(QSize size)
{
    return Error(Error::Overflow,
                 QStringLiteral("The picture is too large to be shown (%1 x %2 pixels).")
                     .arg(size.width())
                     .arg(size.height()));
}

// The reader for what the first bytes say the file is. Naming the format
// spares Qt asking every image plugin it has; anything else is left to Qt.
QByteArray formatOf(const QByteArray &head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (head.startsWith("BM"))
        return "bmp";
    if (head.startsWith(QByteArray("\0\0\1\0", 4)) || head.startsWith(QByteArray("\0\0\2\0", 4)))
        return "ico";
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP")
        return "webp";
    if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
        return "tiff";
    return {};
}

// An SVG is text, so its bytes say little: a name ending in .svg whose
// text opens with a tag.
bool isSvg(const QString &path, QByteArray head)
{
    if (!path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        return false;
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    return head.trimmed().startsWith('<');
}

bool rotated(const QImageReader &reader)
{
    return reader.transformation() & QImageIOHandler::TransformationRotate90;
}

// Runs a decoding step; memory that runs out anywhere in it (a reader's own
// buffers among them) is reported as error 7, not left to end the program.
template <typename Work> auto enoughMemory(Work &&work)
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        throw Error(Error::OutOfMemory,
                    QStringLiteral("There is not enough memory to hold the picture."));
    }
}

// The size each entry of an icon or cursor file holds, by the entry's own
// header (a PNG's, or a bitmap's); the directory's where neither tells.
QList<QSize> iconEntrySizes(QFile &file)
{
    QList<QSize> sizes;
    const QByteArray head = file.read(6);
    if (head.size() < 6)
        return sizes;
    const auto u16 = [](const QByteArray &b, int at) {
        return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8;
    };
    const auto u32le = [&](const QByteArray &b, int at) {
        return u16(b, at) | u16(b, at + 2) << 16;
    };
    const auto u32be = [](const QByteArray &b, int at) {
        return quint32(quint8(b[at])) << 24 | quint32(quint8(b[at + 1])) << 16 |
               quint32(quint8(b[at + 2])) << 8 | quint32(quint8(b[at + 3]));
    };
    const int count = int(u16(head, 4));
    const QByteArray directory = file.read(qint64(count) * 16);
    for (int i = 0; i * 16 + 16 <= directory.size(); ++i) {
        const int at = i * 16;
        QSize size(quint8(directory[at]) ? quint8(directory[at]) : 256,
                   quint8(directory[at + 1]) ? quint8(directory[at + 1]) : 256);
        if (file.seek(u32le(directory, at + 12))) {
            const QByteArray entry = file.read(24);
            if (entry.size() == 24 && entry.startsWith("\x89PNG\r\n\x1a\n"))
                size = size.expandedTo(QSize(int(std::min<quint32>(u32be(entry, 16), INT_MAX)),
                                             int(std::min<quint32>(u32be(entry, 20), INT_MAX))));
            else if (entry.size() >= 12 && u32le(entry, 0) == 40)
                size = size.expandedTo(QSize(int(std::min<quint32>(u32le(entry, 4), INT_MAX)),
                                             int(std::min<quint32>(u32le(entry, 8), INT_MAX) / 2)));
        }
        sizes << size;
    }
    return sizes;
}

// Opens a picture file to read, by the bytes of its name and without
// waiting on anything that is not a regular file.
int openPictureFile(const QString &path)
{
    const int fd = openRegularFile(path);
    if (fd < 0) {
        const QString shown = displayName(path);
        if (errno == ENOENT || errno == ENOTDIR)
            throw Error(Error::FileNotFound,
                        QStringLiteral("The file \"%1\" was not found.").arg(shown));
        if (errno == EINVAL)
            throw Error(Error::PathFileAccess,
                        QStringLiteral("\"%1\" is not a regular file.").arg(shown));
        throw Error(
            Error::PathFileAccess,
            QStringLiteral("\"%1\": %2").arg(shown, QString::fromLocal8Bit(strerror(errno))));
    }
    return fd;
}

void openPicture(const QString &path, QFile &file)
{
    FileDescriptor fd(openPictureFile(path));
    if (!file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw Error(Error::PathFileAccess, file.errorString());
    fd.release();
}

// Each helper leads a process group of its own, so one kill reaches all it started.
// It ends with the program, however the program ends; input, when given,
// is its standard input.
void startInOwnGroup(QProcess &process, int input = -1)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent, input] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        if (input >= 0 && ::dup2(input, STDIN_FILENO) < 0)
            ::_exit(127);
    });
}

void killGroup(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
    process.waitForFinished(2000);
}

// While a helper draws, the window goes on answering: a key press, click,
// wheel turn or close, which may choose another picture, gives the picture
// up, and that input and any after it reach their windows once the drawing
// is abandoned, in order. The release of the key or button that chose the
// drawing, a modifier key and pointer motion change nothing: they pass.
class InputWatch final : public QObject
{
public:
    explicit InputWatch(QEventLoop &loop) : m_loop(loop)
    {
        if (QCoreApplication::instance() &&
            QThread::currentThread() == QCoreApplication::instance()->thread()) {
            QCoreApplication::instance()->installEventFilter(this);
            m_watching = true;
        }
    }
    ~InputWatch() override
    {
        for (auto &[receiver, event] : m_held) {
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
        }
    }
    InputWatch(const InputWatch &) = delete;
    InputWatch &operator=(const InputWatch &) = delete;

    bool interrupted() const { return !m_held.empty(); }
    bool watching() const { return m_watching; }

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            if (isModifier(event))
                return false;
            // A shortcut would run its command now: taken as a key press.
            event->accept();
            return true;
        case QEvent::KeyPress:
            if (isModifier(event))
                return false;
            return hold(receiver, event);
        case QEvent::KeyRelease:
        case QEvent::MouseButtonRelease:
            // Kept in order behind input already held; alone, it passes.
            return m_held.empty() ? false : hold(receiver, event);
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return hold(receiver, event);
        case QEvent::Close:
            if (!event->spontaneous() && m_held.empty())
                return false; // the program's own closing
            return hold(receiver, event);
        default:
            return false;
        }
    }

private:
    static bool isModifier(const QEvent *event)
    {
        switch (static_cast<const QKeyEvent *>(event)->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
            return true;
        default:
            return false;
        }
    }
    bool hold(QObject *receiver, const QEvent *event)
    {
        m_held.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
        m_loop.quit();
        return true;
    }

private:
    QEventLoop &m_loop;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
    bool m_watching = false;
};

// The canvas of an animated WebP, from its extended header ("VP8X", whose
// flags mark an animation); nothing for any other file.
std::optional<QSize> animatedWebpCanvas(const QByteArray &head)
{
    if (head.size() < 30 || !head.startsWith("RIFF") || head.mid(8, 8) != "WEBPVP8X" ||
        !(quint8(head[20]) & 0x02))
        return std::nullopt;
    const auto u24 = [&](int at) {
        return int(quint8(head[at]) | quint8(head[at + 1]) << 8 | quint8(head[at + 2]) << 16);
    };
    return QSize(u24(24) + 1, u24(27) + 1);
}

// What a reader holds at its peak for each pixel, as measured: the
// picture in the depth it decodes to (8 bytes for 16-bit channels), TIFF a
// strip decoded whole beside it, WebP its YUV planes, or for an animation
// the canvas, the frame before and the picture; GIF a canvas for disposal.
int peakBytesPerPixel(const QImageReader &reader)
{
    const QImage::Format format = reader.imageFormat();
    const int depth = format == QImage::Format_Invalid
                          ? 4
                          : std::max(4, QImage::toPixelFormat(format).bitsPerPixel() / 8);
    const QByteArray type = reader.format();
    if (type == "tiff")
        return 2 * depth;
    if (type == "webp")
        return reader.imageCount() > 1 ? 13 : 6;
    if (type == "gif")
        return 2 * depth;
    return depth;
}

// Throws the error a helper reported, if it did not finish well.
void checkHelper(QProcess &process)
{
    if (process.error() == QProcess::FailedToStart)
        throw invalidPicture(QStringLiteral("the renderer could not be started."));
    // What a helper says comes from the file it read: it goes to the log,
    // and the user reads the program's own words.
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (!said.isEmpty() &&
        (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0))
        qWarning("picture helper: %s", qPrintable(said.left(500)));
    if (process.exitStatus() != QProcess::NormalExit)
        throw invalidPicture(QStringLiteral("the metafile could not be drawn."));
    if (process.exitCode() == 3)
        throw Error(Error::Overflow, QStringLiteral("The picture is too large to be shown."));
    if (process.exitCode() != 0)
        throw invalidPicture(QStringLiteral("the drawing could not be read."));
}

} // namespace

QSize exactTarget(QSize target, QSize natural)
{
    if (!isWithinBox(target))
        return target;
    const QSize box(-target.width(), -target.height());
    if (natural.isEmpty() || (natural.width() <= box.width() && natural.height() <= box.height()))
        return {};
    const double scale =
        std::min(double(box.width()) / natural.width(), double(box.height()) / natural.height());
    return QSize(std::max(1, int(std::lround(natural.width() * scale))),
                 std::max(1, int(std::lround(natural.height() * scale))));
}

// Scaled from a plain 32-bit copy: the painter that scales takes other
// forms as they come, and a damaged file's palette or depth led its threads
// past the picture's memory.
QImage safelyScaled(const QImage &image, QSize target)
{
    const QImage plain = image.convertToFormat(
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return plain.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

PictureDecoder::PictureDecoder(QString helperPath, QString rasterPath)
    : m_helper(std::move(helperPath)), m_raster(std::move(rasterPath))
{
    // Our own limit decides what is too large; Qt's only backs it up. Set
    // here, on one thread, since decoding may run on others.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(allocationLimitMB() * 2);
        return true;
    }();
    Q_UNUSED(limited);
}

QString PictureDecoder::defaultHelperPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/imagrove-metafile");
}

QString PictureDecoder::defaultRasterPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/imagrove-svgraster");
}

int PictureDecoder::allocationLimitMB()
{
    // A quarter of the memory, between 256 MB and 2 GB.
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    const qint64 totalMB =
        pages > 0 && pageSize > 0 ? qint64(pages) * pageSize / (1024 * 1024) : 1024;
    return static_cast<int>(std::clamp<qint64>(totalMB / 4, 256, 2048));
}

Picture PictureDecoder::identify(const QString &path) const
{
    QFile file;
    openPicture(path, file);
    Picture picture;
    picture.path = path;
    const QByteArray head = file.read(88);
    file.close();
    const auto *bytes = reinterpret_cast<const unsigned char *>(head.constData());
    if (metafile::isEmf(bytes, static_cast<size_t>(head.size())))
        picture.kind = Picture::Kind::Emf;
    else if (metafile::isWmf(bytes, static_cast<size_t>(head.size())))
        picture.kind = Picture::Kind::Wmf;
    else if (isSvg(path, head))
        picture.kind = Picture::Kind::Svg;
    else
        picture.kind = Picture::Kind::Raster;
    picture.format = formatOf(head);
    return picture;
}

void PictureDecoder::requireReadable(const QString &path)
{
    const FileDescriptor opened(openPictureFile(path));
}

Picture PictureDecoder::load(const QString &path, QSize target) const
{
    Picture picture = identify(path);
    render(picture, target);
    return picture;
}

Picture PictureDecoder::loadRaster(const QString &path, QSize target) const
{
    return enoughMemory([&] {
        Picture picture = identify(path);
        if (picture.kind != Picture::Kind::Raster)
            return Picture();
        renderRaster(picture, target);
        return picture;
    });
}

void PictureDecoder::render(Picture &picture, QSize target) const
{
    enoughMemory([&] {
        if (picture.kind == Picture::Kind::Raster)
            renderRaster(picture, target);
        else if (picture.isVector())
            renderMetafile(picture, target);
    });
}

std::optional<RoughJpeg> PictureDecoder::decodeJpeg(const Picture &identified, QSize target) const
{
    jpeg::Header header;
    if (!jpeg::readHeader(identified.path, header))
        return std::nullopt;
    const bool quarterTurn = header.orientation >= 5;
    const QSize natural = quarterTurn ? header.stored.transposed() : header.stored;
    target = exactTarget(target, natural);
    const bool shrink = !target.isEmpty() &&
                        (target.width() < natural.width() || target.height() < natural.height());
    const QSize allocated = shrink ? target : natural;
    // The peak, not the picture alone: a turned picture is a second copy,
    // and a progressive file's coefficients are held while it decodes.
    const qint64 budget = m_limitBytes;
    const qint64 picture = qint64(allocated.width()) * allocated.height() * 4;
    if (picture * (header.orientation != 1 ? 2 : 1) + header.workBytes > budget)
        throw tooLarge(natural);
    if (!header.decodable)
        return std::nullopt;
    // Scaled sizes are in the stored orientation.
    RoughJpeg rough{identified, target, header.orientation};
    switch (jpeg::decode(identified.path,
                         shrink ? (quarterTurn ? target.transposed() : target) : QSize(),
                         budget - picture, rough.picture.image)) {
    case jpeg::Outcome::Done:
        break;
    case jpeg::Outcome::OverBudget:
        throw tooLarge(natural);
    case jpeg::Outcome::Failed:
        return std::nullopt;
    }
    rough.picture.naturalSize = natural;
    return rough;
}

Picture PictureDecoder::finish(RoughJpeg rough)
{
    return enoughMemory([&] { return finishRough(std::move(rough)); });
}

Picture PictureDecoder::finishRough(RoughJpeg rough)
{
    Picture picture = std::move(rough.picture);
    const QSize target = rough.target;
    const bool quarterTurn = rough.orientation >= 5;
    const QSize natural = picture.naturalSize;
    const bool shrink = !target.isEmpty() &&
                        (target.width() < natural.width() || target.height() < natural.height());
    QImage image = std::move(picture.image);
    const QSize stored = quarterTurn ? target.transposed() : target;
    if (shrink && image.size() != stored)
        image = image.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image = jpeg::oriented(std::move(image), rough.orientation);
    if (!target.isEmpty() && image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture.image = image;
    return picture;
}

std::optional<RoughJpeg> PictureDecoder::loadRough(const QString &path, QSize target) const
{
    return enoughMemory([&]() -> std::optional<RoughJpeg> {
        const Picture identified = identify(path);
        if (identified.kind != Picture::Kind::Raster || identified.format != "jpeg")
            return std::nullopt;
        return decodeJpeg(identified, target);
    });
}

void PictureDecoder::renderRaster(Picture &picture, QSize target) const
{
    // JPEG straight through libjpeg-turbo: several times faster than the
    // general reader at full size. Anything it declines, the general reader
    // tries, and reports.
    if (picture.format == "jpeg") {
        if (std::optional<RoughJpeg> rough = decodeJpeg(picture, target)) {
            picture = finishRough(std::move(*rough));
            return;
        }
    }
    // Only the formats the program shows, each behind its size check: no
    // plugin that happens to recognise the bytes gets them.
    if (picture.format.isEmpty())
        throw invalidPicture(QStringLiteral("it is not a picture of a type this program shows."));
    QFile file;
    openPicture(picture.path, file);
    // An icon's directory may understate an entry: its own header tells.
    const bool icon = picture.format == "ico" || picture.format == "cur";
    const QList<QSize> entries = icon ? iconEntrySizes(file) : QList<QSize>();
    // The toolkit's reader makes an animated WebP's whole canvas as soon as
    // it is asked the size: the header says it first.
    if (picture.format == "webp") {
        file.seek(0);
        const std::optional<QSize> canvas = animatedWebpCanvas(file.read(30));
        if (canvas && qint64(canvas->width()) * canvas->height() * 13 > m_limitBytes)
            throw tooLarge(*canvas);
    }
    file.seek(0);
    QImageReader reader(&file, picture.format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        throw invalidPicture(reader.errorString());

    // Icons and cursors hold several entries: show the largest.
    if (picture.naturalSize.isEmpty()) {
        int best = 0;
        if (reader.format() == "ico" || reader.format() == "cur") {
            qint64 bestArea = -1;
            for (int i = 0; i < reader.imageCount(); ++i) {
                if (!reader.jumpToImage(i))
                    break;
                const QSize size = reader.size().expandedTo(entries.value(i));
                if (qint64(size.width()) * size.height() > bestArea) {
                    bestArea = qint64(size.width()) * size.height();
                    best = i;
                }
            }
            reader.jumpToImage(best);
        }
        picture.frame = best;
        QSize stored = reader.size();
        if (stored.isValid())
            stored = stored.expandedTo(entries.value(best));
        // No icon or cursor is drawn this large; an entry that claims to be
        // would be decoded whole on the spot.
        if (icon && (stored.width() > MaxIconSide || stored.height() > MaxIconSide))
            throw tooLarge(stored);
        if (!stored.isValid()) {
            // Some readers only learn the size by decoding.
            const QImage probe = reader.read();
            if (probe.isNull())
                throw invalidPicture(reader.errorString());
            picture.naturalSize = probe.size();
            picture.image = probe;
            target = exactTarget(target, probe.size());
            if (!target.isEmpty() && probe.size() != target)
                picture.image = safelyScaled(probe, target);
            return;
        }
        picture.naturalSize = rotated(reader) ? stored.transposed() : stored;
    } else if (picture.frame > 0) {
        reader.jumpToImage(picture.frame);
    }

    const QSize natural = picture.naturalSize;
    target = exactTarget(target, natural);
    const bool shrink = !target.isEmpty() &&
                        (target.width() < natural.width() || target.height() < natural.height());
    // What the decoder allocates: the scaled size where it scales as it
    // decodes (JPEG), else the whole picture; the other readers that take a
    // scaled size decode whole and scale afterwards.
    const bool scalesItself =
        shrink && picture.format == "jpeg" && reader.supportsOption(QImageIOHandler::ScaledSize);
    const QSize allocated = scalesItself ? target : natural;
    qint64 peak = qint64(allocated.width()) * allocated.height() * peakBytesPerPixel(reader);
    // A turned picture is made as a second copy; one scaled afterwards too.
    if (reader.transformation() != QImageIOHandler::TransformationNone)
        peak += qint64(allocated.width()) * allocated.height() * 4;
    if (!target.isEmpty() && target != allocated) {
        peak += qint64(target.width()) * target.height() * 4;
        // Smooth scaling first makes a premultiplied copy of a picture in
        // any other form, in its own depth.
        const QImage::Format format = reader.imageFormat();
        if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
            peak += qint64(allocated.width()) * allocated.height() *
                    std::max(4, QImage::toPixelFormat(format).bitsPerPixel() / 8);
    }
    if (peak > m_limitBytes)
        throw tooLarge(natural);
    if (shrink) {
        // Scaled sizes are in the stored orientation.
        reader.setScaledSize(rotated(reader) ? target.transposed() : target);
    }
    QImage image = reader.read();
    if (image.isNull())
        throw invalidPicture(reader.errorString());
    if (!target.isEmpty() && image.size() != target)
        image = safelyScaled(image, target);
    picture.image = image;
}

QByteArray PictureDecoder::runHelpers(const Picture &picture, QSize target) const
{
    QProcess reader;
    QProcess raster;
    const bool chained = picture.kind == Picture::Kind::Emf;
    const bool drawing = picture.kind == Picture::Kind::Svg;
    // Opened here, so the helper reads the very file that was chosen, by
    // the bytes of its name, and never waits on a FIFO.
    const FileDescriptor input(openPictureFile(picture.path));
    const QString width = QString::number(std::max(0, target.width()));
    const QString height = QString::number(std::max(0, target.height()));
    startInOwnGroup(reader, input.get());
    startInOwnGroup(raster, drawing ? input.get() : -1);
    if (chained)
        reader.setStandardOutputProcess(&raster);
    if (chained || drawing)
        raster.start(m_raster, drawing ? QStringList{QStringLiteral("--file"), width, height}
                                       : QStringList());
    if (!drawing)
        reader.start(m_helper, {QStringLiteral("-"), width, height});
    QProcess &last = chained || drawing ? raster : reader;

    // The window goes on painting while the helpers work, and what the user
    // does gives the picture up.
    QEventLoop loop;
    InputWatch watch(loop);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&last, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&last, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    deadline.start(m_timeoutMs);
    if (last.state() != QProcess::NotRunning)
        loop.exec(watch.watching() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    const bool late = !deadline.isActive() && last.state() != QProcess::NotRunning;
    if (!late && !watch.interrupted() && reader.state() != QProcess::NotRunning)
        reader.waitForFinished(std::max(1, deadline.remainingTime()));
    killGroup(reader);
    killGroup(raster);
    if (watch.interrupted())
        throw Error(Error::UserInterrupt);
    if (late)
        throw invalidPicture(QStringLiteral("the picture took too long to draw."));

    if (!drawing)
        checkHelper(reader);
    if (chained || drawing)
        checkHelper(raster);
    return last.readAllStandardOutput();
}

void PictureDecoder::renderMetafile(Picture &picture, QSize target) const
{
    // At its own size until that is known; then within the box.
    if (isWithinBox(target))
        target = exactTarget(target, picture.naturalSize);
    const QByteArray output = runHelpers(picture, target);
    const qsizetype newline = output.indexOf('\n');
    if (newline < 0)
        throw invalidPicture(QStringLiteral("the renderer gave no picture."));
    const QList<QByteArray> fields = output.left(newline).split(' ');
    const auto number = [&](int i) { return i < fields.size() ? fields[i].toLongLong() : -1LL; };
    if (fields.value(0) != "PIXELS" || fields.size() != 6)
        throw invalidPicture(QStringLiteral("the renderer gave no picture."));
    const QSize natural(int(number(1)), int(number(2)));
    const QSize out(int(number(3)), int(number(4)));
    const char *pixels = output.constData() + newline + 1;
    if (natural.isEmpty() || out.isEmpty() ||
        output.size() - newline - 1 != qsizetype(out.width()) * out.height() * 4)
        throw invalidPicture(QStringLiteral("the renderer gave a broken picture."));
    QImage image(out, QImage::Format_ARGB32);
    if (image.isNull())
        throw Error(Error::OutOfMemory,
                    QStringLiteral("There is not enough memory to hold the picture."));
    for (int y = 0; y < out.height(); ++y)
        memcpy(image.scanLine(y), pixels + qsizetype(y) * out.width() * 4, size_t(out.width()) * 4);
    picture.naturalSize = natural;
    picture.image = image;
}

} // namespace platform
