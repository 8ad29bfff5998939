// The JPEG path with its memory limit, and reading by rows: any bytes after
// a JPEG's first three.
// Run with an RSS limit just above the program's own: an input that costs
// more than the limit is a finding.
#include "FuzzSupport.h"
#include "platform/Error.h"
#include "platform/Jpeg.h"
#include "platform/Picture.h"
#include "platform/PictureRegions.h"

#include <cstdint>
#include <cstdlib>
#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzApplication();
    static const QString path =
        QStringLiteral("/tmp/imagrove-fuzz-jpeg-%1.jpg").arg(QCoreApplication::applicationPid());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!bytes.startsWith("\xFF\xD8\xFF"))
        bytes.prepend("\xFF\xD8\xFF");
    file.write(bytes);
    file.close();
    const platform::PictureDecoder decoder;
    for (const QSize target : {QSize(445, 331), QSize()}) {
        try {
            const platform::Picture picture = decoder.load(path, target);
            if (!target.isEmpty() && picture.image.size() != target)
                std::abort();
        } catch (const platform::Error &) {
        }
    }
    // Read by rows as the viewer reads a picture too large to hold: a band
    // from the middle, and one above it after that (the file read again).
    platform::jpeg::Rows rows(path);
    const QSize stored = rows.header().stored;
    if (rows.ok() && stored.width() <= platform::PictureRegions::maxWidth &&
        qint64(stored.width()) * stored.height() <= 64ll * 1024 * 1024) {
        QImage band(std::min(stored.width(), 64), std::min(stored.height() / 2 + 1, 16),
                    QImage::Format_RGB32);
        const auto never = [] { return false; };
        if (rows.skipTo(stored.height() / 2, never) && rows.read(band, 0) &&
            rows.line() != stored.height() / 2 + band.height())
            std::abort();
        platform::jpeg::Rows again(path);
        if (again.ok() && again.read(band, stored.width() - band.width()) &&
            again.line() != band.height())
            std::abort();
    }
    return 0;
}
