#include "Picture.h"

#include "Error.h"
#include "metafile/MetafileGeometry.h"

#include <algorithm>
#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <unistd.h>

namespace platform {

namespace {

Error invalidPicture(const QString &detail = {})
{
    return Error(Error::InvalidPicture, detail.isEmpty()
                                            ? QStringLiteral("Invalid picture.")
                                            : QStringLiteral("Invalid picture: %1").arg(detail));
}

Error tooLarge(QSize size)
{
    return Error(Error::Overflow,
                 QStringLiteral("The picture is too large to be shown (%1 x %2 pixels).")
                     .arg(size.width())
                     .arg(size.height()));
}

bool rotated(const QImageReader &reader)
{
    return reader.transformation() & QImageIOHandler::TransformationRotate90;
}

bool isMetafileName(const QString &path, const char *suffix)
{
    return path.endsWith(QLatin1Char('.') + QLatin1String(suffix), Qt::CaseInsensitive);
}

} // namespace

PictureDecoder::PictureDecoder(QString helperPath) : m_helper(std::move(helperPath)) {}

QString PictureDecoder::defaultHelperPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/imagrove-metafile");
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

Picture PictureDecoder::load(const QString &path, QSize target) const
{
    if (!QFile::exists(path))
        throw Error(Error::FileNotFound,
                    QStringLiteral("The file \"%1\" was not found.").arg(path));
    Picture picture;
    picture.path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(Error::PathFileAccess, file.errorString());
    const QByteArray head = file.read(88);
    file.close();
    const auto *bytes = reinterpret_cast<const unsigned char *>(head.constData());
    if (metafile::isEmf(bytes, static_cast<size_t>(head.size())))
        picture.kind = Picture::Kind::Emf;
    else if (isMetafileName(path, "wmf"))
        picture.kind = Picture::Kind::Wmf;
    else
        picture.kind = Picture::Kind::Raster;
    render(picture, target);
    return picture;
}

void PictureDecoder::render(Picture &picture, QSize target) const
{
    if (picture.kind == Picture::Kind::Raster)
        renderRaster(picture, target);
    else if (picture.isVector())
        renderMetafile(picture, target);
}

void PictureDecoder::renderRaster(Picture &picture, QSize target) const
{
    QImageReader::setAllocationLimit(allocationLimitMB());
    QImageReader reader(picture.path);
    reader.setDecideFormatFromContent(true);
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
                const QSize size = reader.size();
                if (qint64(size.width()) * size.height() > bestArea) {
                    bestArea = qint64(size.width()) * size.height();
                    best = i;
                }
            }
            reader.jumpToImage(best);
        }
        picture.frame = best;
        QSize stored = reader.size();
        if (!stored.isValid()) {
            // Some readers only learn the size by decoding.
            const QImage probe = reader.read();
            if (probe.isNull())
                throw invalidPicture(reader.errorString());
            picture.naturalSize = probe.size();
            picture.image = probe;
            if (!target.isEmpty() && probe.size() != target)
                picture.image =
                    probe.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            return;
        }
        picture.naturalSize = rotated(reader) ? stored.transposed() : stored;
    } else if (picture.frame > 0) {
        reader.jumpToImage(picture.frame);
    }

    const QSize natural = picture.naturalSize;
    if (qint64(natural.width()) * natural.height() * 4 > qint64(allocationLimitMB()) * 1024 * 1024)
        throw tooLarge(natural);

    const bool shrink = !target.isEmpty() &&
                        (target.width() < natural.width() || target.height() < natural.height());
    if (shrink) {
        // Scaled sizes are in the stored orientation.
        reader.setScaledSize(rotated(reader) ? target.transposed() : target);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        if (reader.error() == QImageReader::InvalidDataError &&
            reader.errorString().contains(QLatin1String("limit"), Qt::CaseInsensitive))
            throw tooLarge(natural);
        throw invalidPicture(reader.errorString());
    }
    if (!target.isEmpty() && image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    picture.image = image;
}

QByteArray PictureDecoder::runHelper(const QString &path, QSize target) const
{
    QProcess helper;
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    helper.start(m_helper, {path, QString::number(std::max(0, target.width())),
                            QString::number(std::max(0, target.height()))});
    if (!helper.waitForStarted(5000))
        throw invalidPicture(QStringLiteral("the metafile renderer could not be started."));
    if (!helper.waitForFinished(m_timeoutMs)) {
        helper.kill();
        helper.waitForFinished(1000);
        throw invalidPicture(QStringLiteral("the metafile took too long to draw."));
    }
    const QString message = QString::fromLocal8Bit(helper.readAllStandardError()).trimmed();
    if (helper.exitStatus() != QProcess::NormalExit)
        throw invalidPicture(QStringLiteral("the metafile could not be drawn."));
    if (helper.exitCode() == 3)
        throw Error(Error::Overflow, message);
    if (helper.exitCode() != 0)
        throw Error(Error::InvalidPicture, message.isEmpty()
                                               ? Error::standardDescription(Error::InvalidPicture)
                                               : message);
    return helper.readAllStandardOutput();
}

void PictureDecoder::renderMetafile(Picture &picture, QSize target) const
{
    if (picture.kind == Picture::Kind::Emf && !picture.svg.isEmpty()) {
        // Converted already: draw the vector picture at the size asked for.
        const QSize size = target.isEmpty() ? picture.naturalSize : target;
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            throw tooLarge(size);
        image.fill(Qt::transparent);
        QSvgRenderer renderer(picture.svg);
        if (!renderer.isValid())
            throw invalidPicture(QStringLiteral("the enhanced metafile could not be drawn."));
        renderer.setViewBox(picture.viewBox);
        renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        picture.image = image;
        return;
    }

    const QByteArray output =
        runHelper(picture.path, picture.kind == Picture::Kind::Wmf ? target : QSize());
    const qsizetype newline = output.indexOf('\n');
    if (newline < 0)
        throw invalidPicture(QStringLiteral("the metafile renderer gave no picture."));
    const QList<QByteArray> fields = output.left(newline).split(' ');
    const QByteArray payload = output.mid(newline + 1);
    const auto number = [&](int i) { return i < fields.size() ? fields[i].toDouble() : -1.0; };

    if (fields.value(0) == "PIXELS" && fields.size() == 6) {
        const QSize natural(int(number(1)), int(number(2)));
        const QSize out(int(number(3)), int(number(4)));
        if (out.isEmpty() || payload.size() != qsizetype(out.width()) * out.height() * 4)
            throw invalidPicture(QStringLiteral("the metafile renderer gave a broken picture."));
        QImage image(out, QImage::Format_ARGB32);
        for (int y = 0; y < out.height(); ++y)
            memcpy(image.scanLine(y), payload.constData() + qsizetype(y) * out.width() * 4,
                   size_t(out.width()) * 4);
        picture.naturalSize = natural;
        picture.image = image;
        return;
    }
    if (fields.value(0) == "SVG" && fields.size() == 8) {
        picture.naturalSize = QSize(int(number(1)), int(number(2)));
        picture.viewBox = QRectF(number(3), number(4), number(5), number(6));
        picture.svg = payload;
        if (picture.naturalSize.isEmpty() || picture.svg.size() != qsizetype(number(7)))
            throw invalidPicture(QStringLiteral("the metafile renderer gave a broken picture."));
        renderMetafile(picture, target);
        return;
    }
    throw invalidPicture(QStringLiteral("the metafile renderer gave no picture."));
}

} // namespace platform
