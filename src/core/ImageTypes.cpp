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

QString withOtherImages(const QString &pattern, bool on)
{
    if (!on)
        return pattern;
    QStringList parts{pattern};
    for (const OtherImageType &type : otherImageTypes)
        parts << QStringLiteral("*.") + QLatin1String(type.extension);
    return parts.join(u';');
}

QString typeNameOf(const QString &fileName)
{
    if (const ImageType *type = typeOfFileName(fileName))
        return QLatin1String(type->typeName);
    const QStringView ending = QStringView(fileName).mid(fileName.lastIndexOf(u'.') + 1);
    for (const OtherImageType &type : otherImageTypes) {
        if (fileName.contains(u'.') &&
            ending.compare(QLatin1String(type.extension), Qt::CaseInsensitive) == 0)
            return QLatin1String(type.typeName);
    }
    return {};
}

QString registeredIcon(const ImageType &type, const QString &programFolder)
{
    if (!*type.iconFile)
        return QStringLiteral("%1");
    return programFolder + u'/' + QLatin1String(type.iconFile);
}

} // namespace core
