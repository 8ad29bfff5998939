#pragma once

#include "core/ImageTypes.h"
#include "core/SettingsStore.h"
#include "platform/Desktop.h"

#include <QString>

namespace pantrel {
class _clsReg_n_FileAssoc;
} // namespace pantrel

namespace options {

// The program's side of the seven file-type associations: what it
// registers, the options dialog's save steps and association test, the
// start-up re-assertion and the FrontPage editor entry. Without the
// component library (assoc null) nothing is associated and the steps that
// need it are skipped.
class AssociationSteps
{
public:
    // The program is programFolder + "/" + programName.
    AssociationSteps(pantrel::_clsReg_n_FileAssoc *assoc, core::SettingsStore &settings,
                     platform::Desktop &desktop, QString programFolder,
                     QString programName = QStringLiteral("imagrove"));

    bool associated(const core::ImageType &type);
    // The dialog's save step for one type; throws Error when the setting
    // cannot be written.
    void saveType(const core::ImageType &type, Qt::CheckState box);
    // Whether the user chose any type: only then does start-up need the library.
    static bool anyChosen(const core::SettingsStore &settings);
    // Takes back, without an undo record, each type the user chose that
    // another program has taken since.
    void reassert();

    struct FrontPage
    {
        bool enabled = false;
        bool checked = false;
    };
    FrontPage frontPage();
    void saveFrontPage(Qt::CheckState box);

private:
    enum class Use { SaveOwn, SavePicked, Startup };
    void createOwn(const core::ImageType &type, Use use);
    void reportFailedAssociation(const core::ImageType &type);
    void askForAnotherProgram(const core::ImageType &type);

    pantrel::_clsReg_n_FileAssoc *m_assoc;
    core::SettingsStore &m_settings;
    platform::Desktop &m_desktop;
    QString m_folder;
    QString m_name;
};

} // namespace options
