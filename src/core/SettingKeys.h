#pragma once

#include "ImageTypes.h"
#include "SettingsStore.h"

#include <array>

#include <QList>
#include <QString>
#include <QVariant>

namespace core {

// One stored value: where it lives and the default its main reader assumes.
// Readers with another default pass their own (see the notes).
struct SettingKey
{
    QString app;
    QString section;
    QString name;
    QVariant defaultValue; // invalid: no default (reads as "")

    QString read(const SettingsStore &store) const
    {
        return store.get(app, section, name, defaultValue);
    }
    QString read(const SettingsStore &store, const QVariant &readerDefault) const
    {
        return store.get(app, section, name, readerDefault);
    }
    void save(SettingsStore &store, const QString &value) const
    {
        store.save(app, section, name, value);
    }
};

namespace keys {

inline const QString Imagrove = QStringLiteral("Imagrove");
inline const QString Imagrove2 = QStringLiteral("Imagrove2");

// Imagrove / Interface. Startdir: start-up and the options dialog default to
// the program folder's volume root (given at the call), the home command to "".
inline const SettingKey Startdir{
    Imagrove, QStringLiteral("Interface"), QStringLiteral("Startdir"), {}};
// The options dialog reads ImageSize with no default.
inline const SettingKey ImageSize{Imagrove, QStringLiteral("Interface"),
                                  QStringLiteral("ImageSize"), QStringLiteral("Stretch")};
// Stretched pictures keep their proportions: "1" on, anything else off.
inline const SettingKey KeepProportions{Imagrove, QStringLiteral("Interface"),
                                        QStringLiteral("KeepProportions"), QStringLiteral("0")};
// The main window can be resized: "1" on; and its last size, "width height"
// in pixels.
inline const SettingKey ResizableWindow{Imagrove, QStringLiteral("Interface"),
                                        QStringLiteral("ResizableWindow"), QStringLiteral("0")};
inline const SettingKey WindowSize{
    Imagrove, QStringLiteral("Interface"), QStringLiteral("WindowSize"), {}};
// The file list shows PNG, WebP, TIFF, SVG and the longer JPEG endings too.
inline const SettingKey OtherImages{Imagrove, QStringLiteral("Interface"),
                                    QStringLiteral("OtherImages"), QStringLiteral("0")};
inline const SettingKey Colour{Imagrove, QStringLiteral("Interface"), QStringLiteral("Colour"),
                               QStringLiteral("Black")};

// Imagrove / FullScreen. The options dialog reads Info with no default.
inline const SettingKey FullScreenColour{Imagrove, QStringLiteral("FullScreen"),
                                         QStringLiteral("Colour"), QStringLiteral("Black")};
inline const SettingKey FullScreenInfo{Imagrove, QStringLiteral("FullScreen"),
                                       QStringLiteral("Info"), QStringLiteral("On")};
inline const SettingKey FullScreenFit{Imagrove, QStringLiteral("FullScreen"), QStringLiteral("Fit"),
                                      QStringLiteral("0")};
// The box, "width height" in device pixels, that the viewer last fitted
// pictures within: a launch straight into full screen decodes for it early.
inline const SettingKey FullScreenBox{Imagrove, QStringLiteral("FullScreen"),
                                      QStringLiteral("Box"), {}};

// Imagrove / Options. systray defaults to 1 at start-up and when the options
// dialog closes, to 0 when the window is resized and when the dialog loads.
inline const SettingKey Systray{Imagrove, QStringLiteral("Options"), QStringLiteral("systray"), 1};
inline const SettingKey Minim{Imagrove, QStringLiteral("Options"), QStringLiteral("minim"), true};
inline const SettingKey Always{Imagrove, QStringLiteral("Options"), QStringLiteral("always"),
                               false};
inline const SettingKey ImageInfo{Imagrove, QStringLiteral("Options"), QStringLiteral("ImageInfo"),
                                  1};

// Imagrove2 / Options.
inline const SettingKey ShowTips{Imagrove2, QStringLiteral("Options"),
                                 QStringLiteral("Show Tips at Startup"), 1};
inline const SettingKey Favlist{Imagrove2, QStringLiteral("Options"), QStringLiteral("Favlist"),
                                QStringLiteral("0")};
inline const SettingKey LastDirectory{Imagrove2, QStringLiteral("Options"),
                                      QStringLiteral("LastDirectory"), 0};
inline const SettingKey UseEditor{Imagrove2, QStringLiteral("Options"), QStringLiteral("useeditor"),
                                  0};
inline const SettingKey EditorPath{
    Imagrove2, QStringLiteral("Options"), QStringLiteral("editorpath"), {}};
inline const SettingKey ImgFll{Imagrove2, QStringLiteral("Options"), QStringLiteral("imgfll"), 0};
inline const SettingKey CloseAfter1{Imagrove2, QStringLiteral("Options"),
                                    QStringLiteral("closeafter1"), 0};
inline const SettingKey FsNav{Imagrove2, QStringLiteral("Options"), QStringLiteral("fsnav"), 0};
inline const SettingKey DisFsNav{Imagrove2, QStringLiteral("Options"), QStringLiteral("disfsnav"),
                                 0};
inline const SettingKey FsMbAl{Imagrove2, QStringLiteral("Options"), QStringLiteral("fsmbal"), 0};
inline const SettingKey GreyMode{Imagrove2, QStringLiteral("Options"), QStringLiteral("greymode"),
                                 0};
inline const SettingKey DelFavs{Imagrove2, QStringLiteral("Options"), QStringLiteral("DelFavs"), 0};
inline const SettingKey BMPassc{Imagrove2, QStringLiteral("Options"), QStringLiteral("BMPassc"), 0};
inline const SettingKey JPGassc{Imagrove2, QStringLiteral("Options"), QStringLiteral("JPGassc"), 0};
inline const SettingKey GIFassc{Imagrove2, QStringLiteral("Options"), QStringLiteral("GIFassc"), 0};
inline const SettingKey WMFassc{Imagrove2, QStringLiteral("Options"), QStringLiteral("WMFassc"), 0};
inline const SettingKey EMFassc{Imagrove2, QStringLiteral("Options"), QStringLiteral("EMFassc"), 0};
inline const SettingKey ICOassc{Imagrove2, QStringLiteral("Options"), QStringLiteral("ICOassc"), 0};
inline const SettingKey CURassc{Imagrove2, QStringLiteral("Options"), QStringLiteral("CURassc"), 0};
// A type's association setting.
inline const SettingKey &associationKey(const ImageType &type)
{
    static const std::array<const SettingKey *, 7> inTypeOrder{
        &BMPassc, &JPGassc, &GIFassc, &WMFassc, &EMFassc, &ICOassc, &CURassc};
    return *inTypeOrder[indexOf(type)];
}

// Imagrove2 / Favs: "favn<n>" holds a favourite's name, "fava<n>" its folder.
inline const QString FavsSection = QStringLiteral("Favs");
inline SettingKey favName(int n)
{
    return {Imagrove2, FavsSection, QStringLiteral("favn%1").arg(n), {}};
}
inline SettingKey favFolder(int n)
{
    return {Imagrove2, FavsSection, QStringLiteral("fava%1").arg(n), {}};
}

// Imagrove2 / v2.1 and v2.2.
inline const SettingKey Updated{Imagrove2, QStringLiteral("v2.1"), QStringLiteral("updated"), 0};
inline const SettingKey ProgramPath{Imagrove2, QStringLiteral("v2.2"), QStringLiteral("Path"), {}};
inline const SettingKey License{Imagrove2, QStringLiteral("v2.2"), QStringLiteral("license"), 1};

// Every fixed key, for checks over the whole table.
inline QList<SettingKey> all()
{
    return {KeepProportions, OtherImages, ResizableWindow, WindowSize, FullScreenBox, Startdir,      ImageSize, Colour,     FullScreenColour,
            FullScreenInfo,  FullScreenFit, Systray,       Minim,     Always,     ImageInfo,
            ShowTips,        Favlist,       LastDirectory, UseEditor, EditorPath, ImgFll,
            CloseAfter1,     FsNav,         DisFsNav,      FsMbAl,    GreyMode,   DelFavs,
            BMPassc,         JPGassc,       GIFassc,       WMFassc,   EMFassc,    ICOassc,
            CURassc,         Updated,       ProgramPath,   License};
}

} // namespace keys

// How stored text is read back.
namespace encoding {

// A number; empty or non-numeric text counts as 0. Fractions round half to
// even, as the old runtime's conversion did.
long long toNumber(const QString &text);
// "True"/"False" in any case, or a number where non-zero is true.
bool toTruth(const QString &text);
// Most readers of a check value: exactly 1 is on.
inline bool checkIsOn(const QString &text)
{
    return toNumber(text) == 1;
}
// Readers of "ImageInfo" and "Show Tips at Startup": exactly 0 is off.
inline bool checkIsNotOff(const QString &text)
{
    return toNumber(text) != 0;
}
inline QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
// Colours are stored as 0x00BBGGRR numbers or as one of the colour words.
unsigned colourNumber(unsigned red, unsigned green, unsigned blue);
// The 0x00BBGGRR number of a colour word or a decimal number; a word not
// known and non-numeric text give black.
unsigned colourFromText(const QString &text);

} // namespace encoding
} // namespace core
