#include "ImageTypes.h"

#include <QStringList>

namespace core {

const ImageType *typeAtMenuIndex(int index)
{
    for (const ImageType &type : imageTypes) {
        if (type.menuIndex == index)
            return &type;
    }
    return nullptr;
}

const ImageType *typeOfFileName(const QString &fileName)
{
    return typeOfExtension(QStringView(fileName).right(3));
}

const ImageType *typeOfExtension(QStringView extension)
{
    for (const ImageType &type : imageTypes) {
        if (extension.compare(QLatin1String(type.extension), Qt::CaseInsensitive) == 0)
            return &type;
    }
    return nullptr;
}

QString allImagesPattern()
{
    QStringList parts(imageTypes.size());
    for (const ImageType &type : imageTypes)
        parts[type.patternIndex] = type.pattern();
    return parts.join(u';');
}

QString patternFor(const std::array<bool, 7> &checkedByMenuIndex)
{
    QStringList parts;
    for (int index = 0; index < 7; ++index) {
        if (checkedByMenuIndex[size_t(index)])
            parts << typeAtMenuIndex(index)->pattern();
    }
    if (parts.isEmpty())
        parts << typeAtMenuIndex(0)->pattern();
    return parts.join(u';');
}

QString registeredIcon(const ImageType &type, const QString &programFolder)
{
    if (!*type.iconFile)
        return QStringLiteral("%1");
    return programFolder + u'/' + QLatin1String(type.iconFile);
}

} // namespace core
