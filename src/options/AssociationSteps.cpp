#include "AssociationSteps.h"

#include "core/SettingKeys.h"
#include "pantrel.h"
#include "platform/ErrorReport.h"

#include <algorithm>
#include <cstring>
#include <QFileInfo>

namespace options {

namespace {

// What each type is registered with; the three uses differ on purpose.
struct Registration
{
    const char *extension;
    const char *saveOwn;
    const char *savePicked;
    const char *startup;
    const char *startupContent;
};

constexpr Registration registrations[] = {
    {"bmp", "Bitmap", "Bitmap File", "Bitmap File", "Image"},
    {"jpg", "Jpeg Compressed Image", "Jpeg Compressed Image", "Jpeg Compressed Image", "Image"},
    {"gif", "Compuserve GIF", "Compuserve GIF", "Graphics Interchangable Format", "Image"},
    {"wmf", "Windows Metafile", "Windows MetaFile", "Windows Metafile", "Image"},
    {"emf", "Enhanced Windows Metafile", "Enhanced Windows MetaFile", "Enhanced Windows Metafile",
     "Image"},
    {"ico", "Icon File", "Icon File", "Icon File", "Icon"},
    {"cur", "Cursor File", "Cursor File", "Cursor File", "Cursor"},
};

const Registration &registrationOf(const core::ImageType &type)
{
    for (const Registration &entry : registrations) {
        if (std::strcmp(entry.extension, type.extension) == 0)
            return entry;
    }
    return registrations[0];
}

QString dotted(const core::ImageType &type)
{
    return u'.' + QLatin1String(type.extension);
}

const QString Open = QStringLiteral("Open");
const QString FrontPageKey =
    QStringLiteral("Software\\Microsoft\\FrontPage\\Editor\\Init Commands");

} // namespace

AssociationSteps::AssociationSteps(pantrel::_clsReg_n_FileAssoc *assoc,
                                   core::SettingsStore &settings, platform::Desktop &desktop,
                                   QString programFolder, QString programName)
    : m_assoc(assoc), m_settings(settings), m_desktop(desktop), m_folder(std::move(programFolder)),
      m_name(std::move(programName))
{
}

bool AssociationSteps::associated(const core::ImageType &type)
{
    // The program file has no ending here.
    return m_assoc && m_assoc->Associated(QLatin1String(type.properName), m_folder, m_name,
                                          QString(), Open, dotted(type));
}

void AssociationSteps::createOwn(const core::ImageType &type, Use use)
{
    const Registration &texts = registrationOf(type);
    const bool startup = use == Use::Startup;
    m_assoc->CreateAssociation(
        QLatin1String(type.properName), QLatin1String(startup ? texts.startup : texts.saveOwn),
        QLatin1String(startup ? texts.startupContent : "Image"), dotted(type), Open, m_folder,
        m_name, QString(), core::registeredIcon(type, m_folder));
    reportFailedAssociation(type);
}

void AssociationSteps::reportFailedAssociation(const core::ImageType &type)
{
    // A registry or desktop entry that could not be written (a full disk)
    // is said, as a settings write that fails is.
    const QString error = m_assoc->GetLastErrorMsg();
    if (error.isEmpty())
        return;
    platform::reportError(
        m_desktop,
        platform::Error(platform::Error::PathFileAccess,
                        QStringLiteral("The %1 file format could not be associated. %2")
                            .arg(QLatin1String(type.messageWord), error)),
        platform::captions::ErrorNumber);
}

void AssociationSteps::saveType(const core::ImageType &type, Qt::CheckState box)
{
    if (box == Qt::Checked) {
        core::keys::associationKey(type).save(m_settings, QStringLiteral("1"));
        if (m_assoc && !associated(type)) {
            m_assoc->CreateUndoAssDat(dotted(type), QLatin1String(type.properName), Open, m_folder);
            createOwn(type, Use::SaveOwn);
        }
        return;
    }
    core::keys::associationKey(type).save(m_settings, QStringLiteral("0"));
    if (!m_assoc || !associated(type))
        return;
    if (!m_assoc->UndoAssociation(m_folder, dotted(type)))
        askForAnotherProgram(type);
}

void AssociationSteps::askForAnotherProgram(const core::ImageType &type)
{
    const QString word = QLatin1String(type.messageWord);
    const platform::Answer answer = m_desktop.msgBox(
        QStringLiteral("Cannot unassociate the %1 file format, the 'Undo' data is either corrupted "
                       "or missing, would you like to choose another program for %1 files now? "
                       "Click Yes to browse for a program, click No to stick with Imagrove as the "
                       "default %1 file application.")
            .arg(word),
        platform::Icon::Question, platform::Buttons::YesNo,
        QStringLiteral("Error in Unassociating!"));
    if (answer != platform::Answer::Yes)
        return;
    if (!m_assoc->ShowPrograms(
            QStringLiteral("Browse for programs"),
            QStringLiteral("Please browse for a new default %1 file format application.").arg(word),
            QStringLiteral("*.exe")))
        return;
    const QString folder = m_assoc->ProgramFP().toString();
    const QString file = m_assoc->ProgramFN().toString();
    m_assoc->CreateAssociation(
        QLatin1String(type.properName), QLatin1String(registrationOf(type).savePicked),
        QStringLiteral("Image"), dotted(type), Open, folder, file, QString(), folder + u'/' + file);
    reportFailedAssociation(type);
    m_assoc->CreateUndoAssDat(dotted(type), QLatin1String(type.properName), Open, m_folder);
}

bool AssociationSteps::anyChosen(const core::SettingsStore &settings)
{
    return std::any_of(
        core::imageTypes.begin(), core::imageTypes.end(), [&](const core::ImageType &type) {
            return core::encoding::toNumber(core::keys::associationKey(type).read(settings)) == 1;
        });
}

void AssociationSteps::reassert()
{
    static constexpr const char *order[] = {"bmp", "jpg", "gif", "emf", "wmf", "ico", "cur"};
    for (const char *extension : order) {
        const core::ImageType *type = core::typeOfExtension(QString::fromLatin1(extension));
        if (core::encoding::toNumber(core::keys::associationKey(*type).read(m_settings)) == 1 &&
            m_assoc && !associated(*type))
            createOwn(*type, Use::Startup);
    }
}

AssociationSteps::FrontPage AssociationSteps::frontPage()
{
    FrontPage state;
    if (!m_assoc)
        return state;
    QString root = m_assoc
                       ->getstring(pantrel::HKEY_LOCAL_MACHINE,
                                   QStringLiteral("SOFTWARE\\Microsoft\\FrontPage\\3.0"),
                                   QStringLiteral("FrontPageRoot"))
                       .toString();
    if (!root.isEmpty()) {
        if (root.endsWith(u'"'))
            root.chop(1);
        if (root.startsWith(u'"'))
            root.remove(0, 1);
        state.enabled = QFileInfo(root + QStringLiteral("/Bin/fpeditor.exe")).isFile();
    }
    state.checked =
        !m_assoc->getstring(pantrel::HKEY_CURRENT_USER, FrontPageKey, QStringLiteral("Imagrove2"))
             .toString()
             .isEmpty();
    return state;
}

void AssociationSteps::saveFrontPage(Qt::CheckState box)
{
    if (!m_assoc || box == Qt::PartiallyChecked)
        return;
    if (box == Qt::Checked)
        m_assoc->savestring(
            pantrel::HKEY_CURRENT_USER, FrontPageKey, QStringLiteral("Imagrove2"),
            QStringLiteral("2,,1,Tools,Start Imagrove,%1/%2,10,0,,0").arg(m_folder, m_name));
    else
        m_assoc->DeleteValue(pantrel::HKEY_CURRENT_USER, FrontPageKey, QStringLiteral("Imagrove2"));
}

} // namespace options
