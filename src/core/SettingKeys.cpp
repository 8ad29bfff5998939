#include "SettingKeys.h"

#include <cmath>

namespace core::encoding {

long long toNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    bool ok = false;
    const long long whole = trimmed.toLongLong(&ok);
    if (ok)
        return whole;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 9.2e18)
        return 0;
    return static_cast<long long>(std::nearbyint(value)); // default rounding: half to even
}

bool toTruth(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return toNumber(trimmed) != 0;
}

unsigned colourNumber(unsigned red, unsigned green, unsigned blue)
{
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}

unsigned colourFromText(const QString &text)
{
    struct Word
    {
        const char *name;
        unsigned number;
    };
    static const Word words[] = {
        {"Black", colourNumber(0, 0, 0)},       {"Grey", colourNumber(0xC0, 0xC0, 0xC0)},
        {"White", colourNumber(255, 255, 255)}, {"Yellow", colourNumber(255, 255, 0)},
        {"Green", colourNumber(0, 255, 0)},     {"Blue", colourNumber(0, 0, 255)},
        {"Red", colourNumber(255, 0, 0)}};
    for (const Word &word : words) {
        if (text == QLatin1String(word.name))
            return word.number;
    }
    const long long number = toNumber(text);
    if (number < 0 || number > 0xFFFFFF)
        return 0;
    return static_cast<unsigned>(number);
}

} // namespace core::encoding
