#include "SvgSafety.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace metafile {

namespace {

bool isLink(const QXmlStreamAttribute &attribute)
{
    return attribute.name() == QLatin1String("href");
}

// A picture carried in the file, of a kind that refers to nothing else.
bool isCarriedRaster(QStringView address)
{
    const QStringView text = address.trimmed();
    for (const char *kind : {"data:image/png", "data:image/jpeg", "data:image/jpg",
                             "data:image/gif", "data:image/bmp"}) {
        if (text.startsWith(QLatin1String(kind), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QByteArray selfContainedSvg(const QByteArray &svg)
{
    QXmlStreamReader reader(svg);
    QByteArray out;
    QXmlStreamWriter writer(&out);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            break;
        if (!reader.isStartElement()) {
            // The document type is left out: its entities are expanded in
            // the text already.
            if (reader.tokenType() != QXmlStreamReader::DTD)
                writer.writeCurrentToken(reader);
            continue;
        }
        const QXmlStreamAttributes attributes = reader.attributes();
        QXmlStreamAttributes kept;
        bool dropped = false;
        for (const QXmlStreamAttribute &attribute : attributes) {
            const bool local = attribute.value().trimmed().startsWith(u'#');
            if (isLink(attribute) && !local &&
                !(reader.name() == QLatin1String("image") && isCarriedRaster(attribute.value()))) {
                dropped = true;
                continue;
            }
            kept.append(attribute);
        }
        if (dropped &&
            (reader.name() == QLatin1String("image") || reader.name() == QLatin1String("use"))) {
            reader.skipCurrentElement();
            continue;
        }
        // Written by the names the file gives, prefixes and all.
        writer.writeStartElement(reader.qualifiedName().toString());
        for (const QXmlStreamNamespaceDeclaration &declaration : reader.namespaceDeclarations()) {
            const QString prefix = declaration.prefix().toString();
            writer.writeAttribute(prefix.isEmpty() ? QStringLiteral("xmlns")
                                                   : QStringLiteral("xmlns:") + prefix,
                                  declaration.namespaceUri().toString());
        }
        for (const QXmlStreamAttribute &attribute : std::as_const(kept))
            writer.writeAttribute(attribute.qualifiedName().toString(),
                                  attribute.value().toString());
    }
    if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        return {};
    return out;
}

} // namespace metafile
