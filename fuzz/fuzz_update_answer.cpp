// The update site's answer: only an http or https address with a host is
// opened, and what is handed on starts with its scheme and holds nothing but
// printable ASCII (it goes to the desktop's opener as one argument).
#include "extras/UpdateClient.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString body =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).trimmed();
    const QUrl address(body, QUrl::StrictMode);
    if (!extras::isWebAddress(address))
        return 0;
    const QString handed = address.toString(QUrl::FullyEncoded);
    if (!handed.startsWith(QLatin1String("http://")) &&
        !handed.startsWith(QLatin1String("https://")))
        std::abort();
    for (const QChar c : handed) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            std::abort();
    }
    return 0;
}
