#pragma once

#include <QString>

namespace core {

// The product's addresses: configuration under the reserved .example domain
// until the product has real ones.
inline const QString SupportAddress = QStringLiteral("support@imagrove.example");

} // namespace core
