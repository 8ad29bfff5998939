// The JPEG path with its memory limit: any bytes after a JPEG's first three.
// Run with an RSS limit just above the program's own: an input that costs
// more than the limit is a finding.
#include "FuzzSupport.h"
#include "platform/Error.h"
#include "platform/Picture.h"

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
    return 0;
}
