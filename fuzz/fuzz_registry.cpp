// The registry file reader: any bytes, and what it keeps survives a write.
#include "Registry.h"

#include <cstdint>
#include <cstdlib>

using namespace pantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    int damaged = 0;
    const RegistryTree tree = RegistryTree::parse(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &damaged);
    // What was read is written so that it reads back whole and the same.
    const QByteArray written = tree.serialize();
    int again = 0;
    if (RegistryTree::parse(written, &again).serialize() != written || again != 0)
        std::abort();
    return 0;
}
