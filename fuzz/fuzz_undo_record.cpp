// The undo-record reader: any bytes; a record read is written and read back the same.
#include "clsReg_n_FileAssoc.h"

#include <cstdint>
#include <cstdlib>

using namespace pantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const UndoRecord record =
        UndoRecord::fromFile(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const UndoRecord again = UndoRecord::fromFile(record.toFile());
    const QString fields[] = {record.ex, record.pn, record.ct, record.fn,
                              record.di, record.ph, record.ac};
    const QString back[] = {again.ex, again.pn, again.ct, again.fn, again.di, again.ph, again.ac};
    for (int i = 0; i < 7; ++i) {
        // A field that holds a line break cannot be one line of the file.
        if (fields[i].contains(u'\n'))
            return 0;
        if (!record.longForm && i >= 3)
            break;
        if (fields[i] != back[i])
            std::abort();
    }
    if (record.longForm != again.longForm)
        std::abort();
    return 0;
}
