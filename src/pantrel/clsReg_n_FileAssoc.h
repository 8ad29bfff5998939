#pragma once

#include "MimeApps.h"

#include "Objects.h"
#include "Registry.h"

#include <optional>

namespace pantrel {

// What a file type is registered with.
struct TypeRegistration
{
    QStringList verbCaptions;
    QStringList verbCommands; // parallel to the captions
    QString extension;
    QString properName;
    QString fullName;
    QString contentType;
    QString iconLocation;
    std::int16_t iconIndex = 0;
};

// The undo record of one extension, as stored in its file.
struct UndoRecord
{
    QString ex, pn, ct, fn, di, ph, ac;
    bool longForm = false;
    // The desktop's media type for the extension and the user's own default
    // line for it before, if there was one.
    QString desktopType;
    std::optional<QString> formerDefault;
    // The user's line for the type as it was, byte for byte (records made
    // before it was kept put the value back instead).
    std::optional<mimeapps::FormerLine> formerLine;

    QByteArray toFile() const;
    // A later line with the same tag wins; untagged lines are ignored.
    static UndoRecord fromFile(const QByteArray &text);
};

class clsReg_n_FileAssoc final : public RefCounted<_clsReg_n_FileAssoc>
{
public:
    HResult QueryInterface(const QUuid &iid, void **object) override
    {
        return answer(iid, IID_clsReg_n_FileAssoc, object);
    }

    void savekey(RootKey hKey, const QString &strPath) override;
    QVariant getstring(RootKey hKey, const QString &strPath, const QVariant &strValue) override;
    void savestring(RootKey hKey, const QString &strPath, const QString &strValue,
                    const QString &strdata) override;
    std::int32_t getdword(RootKey hKey, const QString &strPath,
                          const QString &strValueName) override;
    QVariant SaveDword(RootKey hKey, const QString &strPath, const QString &strValueName,
                       std::int32_t lData) override;
    QVariant DeleteKey(RootKey hKey, const QString &strKey) override;
    QVariant DeleteValue(RootKey hKey, const QString &strPath, const QString &strValue) override;
    bool Associated(const QString &ProperFTName, const QString &AppPath, const QString &ExeName,
                    const QString &Extension, const QString &Action,
                    const QString &FTExtension) override;
    void CreateAssociation(const QString &ProperName, const QString &FullName,
                           const QString &ContentType, const QString &Extension,
                           const QString &Action, const QString &Path, const QString &ExeName,
                           const QString &Extention, const QString &DefaultIconFP) override;
    bool CreateUndoAssDat(const QString &FTExtension, const QString &ProperName,
                          const QString &Action, const QVariant &SaveTo_Path) override;
    bool UndoAssociation(const QString &SavedTo_path, const QString &FTExtension) override;
    QString GetLastErrorMsg() override { return m_lastError; }
    bool ShowPrograms(const QString &Title, const QString &Message,
                      const QString &Pattern) override;
    QVariant ProgramFN() override;
    QVariant ProgramFP() override;

    // The registration step that CreateAssociation runs, as one change of
    // the registry; the icon's own entry goes with it when given.
    bool registerType(const TypeRegistration &record,
                      const std::optional<QString> &iconFile = std::nullopt);

private:
    QString text(RootKey root, const QString &path, const QString &valueName = {});
    // Runs a change of the registry; false, with the last error set, when
    // the key path is not valid or the registry cannot be written.
    bool write(const QString &keyPath, const std::function<bool(RegistryTree &)> &change);
    bool fail(const QString &message);

    Registry m_registry;
    QString m_lastError;
};

} // namespace pantrel
