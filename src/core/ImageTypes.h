#pragma once

#include <array>
#include <QString>

namespace core {

// The seven image types the program shows and can open by default.
struct ImageType
{
    const char *extension;   // "bmp": the file-name ending, lower case
    const char *typeName;    // the information strip's type name
    const char *menuCaption; // the File Types item
    int menuIndex;           // its place in the File Types menu
    int patternIndex;        // its place in the "All Images" pattern
    const char *boxName;     // "chkBMPass": its association check box
    const char *boxCaption;  // that box's caption
    const char *properName;  // the registered type name
    const char *messageWord; // the word used in messages about the type
    const char *iconFile;    // the icon beside the program; empty: the file is its own icon

    QString pattern() const { return QStringLiteral("*.") + QLatin1String(extension); }
};

// In the order of the association settings' table.
inline constexpr std::array<ImageType, 7> imageTypes{{
    {"bmp", "Bitmap File", "BMP", 0, 0, "chkBMPass", "BMP", "Bitmap", "BMP", "bmpicon.ico"},
    {"jpg", "Jpeg File", "Jpeg", 3, 4, "chkJPGass", "JPG", "Jpeg", "Jpeg", "jpgicon.ico"},
    {"gif", "GIF File", "GIF", 2, 3, "chkGIFass", "GIF", "GIF", "GIF", "gificon.ico"},
    {"wmf", "MetaFile", "WMF", 4, 1, "chkWMFass", "WMF", "WMF", "WMF", "wmficon.ico"},
    {"emf", "EMF", "EMF", 1, 5, "chkEMFass", "EMF", "EMF", "EMF", "emficon.ico"},
    {"ico", "Icon File", "Icons", 5, 2, "chkICOass", "Icon", "Icon", "Icon", ""},
    {"cur", "Cursor File", "Cursors", 6, 6, "chkCURass", "Cursor", "Cursor", "Cursor", ""},
}};

// Formats listed beside the seven when "Other Images" is on, by ending.
struct OtherImageType
{
    const char *extension; // lower case, without the dot
    const char *typeName;  // the information strip's type name
};
inline constexpr std::array<OtherImageType, 8> otherImageTypes{{
    {"png", "PNG File"},
    {"webp", "WebP File"},
    {"tif", "TIFF File"},
    {"tiff", "TIFF File"},
    {"svg", "SVG File"},
    {"jpeg", "Jpeg File"},
    {"jpe", "Jpeg File"},
    {"jfif", "Jpeg File"},
}};

// The type whose File Types item is at a menu index; null outside 0..6.
const ImageType *typeAtMenuIndex(int index);
// The type of a file name's lower-cased last three characters; null for
// any other ending.
const ImageType *typeOfFileName(const QString &fileName);
// The type of an ending without its dot, in any letter case; null for any
// other.
const ImageType *typeOfExtension(QStringView extension);
// A type's place in imageTypes.
inline size_t indexOf(const ImageType &type)
{
    return size_t(&type - imageTypes.data());
}

// The icon a type is registered with: its file beside the program, or "%1"
// for the types that are their own icon.
QString registeredIcon(const ImageType &type, const QString &programFolder);

// The pattern of "All Images" and of every start.
QString allImagesPattern();
// The pattern of the checked File Types items (by menu index), in menu
// order; "*.bmp" when none is checked.
QString patternFor(const std::array<bool, 7> &checkedByMenuIndex);
// A pattern with the other formats' patterns after it, when on.
QString withOtherImages(const QString &pattern, bool on);
// The information strip's type name of a file name's ending, of the seven
// or of the others; empty for any other ending.
QString typeNameOf(const QString &fileName);

} // namespace core
