// The metafile headers and the set-up records read before libwmf or
// libemf2svg take over: any bytes, and what they report is sane.
#include "MetafileGeometry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (metafile::isEmf(data, size)) {
        const metafile::EmfFrame frame = metafile::emfFrame(data, size);
        if (frame.valid && (frame.pixelWidth <= 0 || frame.pixelHeight <= 0))
            std::abort();
    }
    // The helper reads any file this far, whatever its header says.
    metafile::isWmf(data, size);
    const metafile::WmfFrame frame = metafile::wmfFrame(data, size);
    if (frame.valid && (frame.right <= frame.left || frame.bottom <= frame.top ||
                        frame.pixelWidth < 0 || frame.pixelHeight < 0))
        std::abort();
    return 0;
}
