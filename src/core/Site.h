#pragma once

#include <QString>

namespace core {

// The product's addresses: configuration under the reserved .example domain
// until the product has real ones.
inline const QString SupportAddress = QStringLiteral("support@imagrove.example");
inline const QString EnquiriesAddress = QStringLiteral("enquiries@imagrove.example");

// The web site's base address, ending in "/": IMAGROVE_SITE when set.
QString siteAddress();
// A page of the site, by its file name ("index.htm").
QString sitePage(const QString &page);
// The galleries of the Go menus, in menu order, with the numbers of
// their pages.
struct Gallery
{
    const char *name;
    int number;
};
inline constexpr Gallery galleries[] = {{"Landscape Gallery", 1},
                                        {"Wildlife Gallery", 2},
                                        {"Space Gallery", 3},
                                        {"Art Gallery", 5},
                                        {"Photo Gallery", 6}};

// The page of gallery n (1, 2, 3, 5 or 6, as the Go menu numbers them).
QString galleryAddress(int number);

} // namespace core
