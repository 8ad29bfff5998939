#include "DisplayLayout.h"

#include <QLocale>

namespace browser {

ActualSizeLayout actualSizeLayout(double width, double height, double paneWidth, double paneHeight)
{
    ActualSizeLayout layout;
    layout.hMax = width - paneWidth;
    layout.vMax = height - paneHeight;
    layout.vEnabled = height > paneHeight;
    layout.hEnabled = width > paneWidth;
    if (paneHeight > height) {
        layout.top = (paneHeight - height) / 2;
        layout.centredY = true;
    }
    if (paneWidth > width) {
        layout.left = (paneWidth - width) / 2;
        layout.centredX = true;
    }
    return layout;
}

QString imagePath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

QString sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 Bytes").arg(bytes);
    return QStringLiteral("%1 Kb").arg(bytes / 1024);
}

QString ending(const QString &fileName)
{
    return fileName.right(3).toLower();
}

QSize keptProportions(QSize natural, QSize box)
{
    if (natural.isEmpty())
        return box;
    const QSize fitted = natural.scaled(box, Qt::KeepAspectRatio).boundedTo(natural);
    return fitted.expandedTo(QSize(1, 1));
}

QString dateText(const QDateTime &time)
{
    return QLocale().toString(time, QLocale::ShortFormat);
}

QString shortDateText(const QDateTime &time)
{
    return QLocale().toString(time.date(), QLocale::ShortFormat);
}

} // namespace browser
