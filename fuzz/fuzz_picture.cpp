// The picture front end: recognition by content, the icon or cursor entry,
// orientation and the allocation decision, PNG, WebP and TIFF behind the
// same size check, on any bytes. Metafiles and SVG go to the helper
// programs, which have limits of their own, so they stop here.
#include "FuzzSupport.h"
#include "MetafileGeometry.h"
#include "platform/Error.h"
#include "platform/Picture.h"

#include <cstdint>
#include <QFile>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (metafile::isEmf(data, size) || metafile::isWmf(data, size))
        return 0;
    fuzzApplication();
    static const QString path =
        QStringLiteral("/tmp/imagrove-fuzz-picture-%1").arg(QCoreApplication::applicationPid());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    const platform::PictureDecoder decoder;
    for (const QSize target : {QSize(443, 331), QSize()}) {
        try {
            platform::Picture picture = decoder.load(path, target);
            if (!target.isEmpty() && picture.image.size() != target)
                std::abort();
        } catch (const platform::Error &) {
        }
    }
    return 0;
}
