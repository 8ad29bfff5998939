// The tips file: any bytes give lines without line breaks, one per line.
#include "extras/TipPanel.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = extras::tipLines(bytes);
    for (const QString &line : lines) {
        if (line.contains(u'\n'))
            std::abort();
    }
    if (lines.size() > bytes.count('\n') + 1)
        std::abort();
    return 0;
}
