#include "Site.h"

#include <QtGlobal>

namespace core {

QString siteAddress()
{
    QString site = qEnvironmentVariable("IMAGROVE_SITE");
    if (site.isEmpty())
        site = QStringLiteral("http://www.imagrove.example/");
    if (!site.endsWith(u'/'))
        site += u'/';
    return site;
}

QString sitePage(const QString &page)
{
    return siteAddress() + page;
}

QString galleryAddress(int number)
{
    return sitePage(QStringLiteral("gallery%1.htm").arg(number));
}

} // namespace core
