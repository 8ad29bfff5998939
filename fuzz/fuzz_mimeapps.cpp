// mimeapps.list: any bytes as the user's list; setting a default and putting
// the former line back leaves every byte as it was.
#include "FuzzSupport.h"
#include "MimeApps.h"

#include <cstdint>
#include <cstdlib>
#include <QDir>
#include <QFile>

using namespace pantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzApplication();
    static const QString folder = [] {
        const QString path = QStringLiteral("/tmp/imagrove-fuzz-mimeapps-%1")
                                 .arg(QCoreApplication::applicationPid());
        QDir().mkpath(path);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path));
        return path;
    }();
    const QByteArray before(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString list = folder + QStringLiteral("/mimeapps.list");
    QFile file(list);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(before);
    file.close();
    const QString type = QStringLiteral("image/bmp");
    const std::optional<mimeapps::FormerLine> former = mimeapps::formerLine(type);
    if (!former || !mimeapps::setUserDefault(type, QStringLiteral("pantrel-fuzz.desktop;")))
        std::abort();
    if (mimeapps::userDefault(type) != QStringLiteral("pantrel-fuzz.desktop;"))
        std::abort();
    const std::optional<mimeapps::FormerLine> again =
        mimeapps::FormerLine::decoded(former->encoded());
    if (!again || !mimeapps::restoreLine(type, *again))
        std::abort();
    QFile after(list);
    if (!after.open(QIODevice::ReadOnly) || after.readAll() != before)
        std::abort();
    return 0;
}
