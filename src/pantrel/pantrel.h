#pragma once

// pantrel: registry, file-type association and shell services for Imagrove,
// as an in-process component server. This header is the library's whole
// interface: objects are created by class identifier through
// DllGetClassObject and used through the interfaces below.

#include <cstdint>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>

class QDialog;
class QWidget;

#define PANTREL_API __attribute__((visibility("default")))

namespace pantrel {

// Result codes of the entry points and the class factory.
using HResult = std::int32_t;
inline constexpr HResult S_OK = 0;
inline constexpr HResult S_FALSE = 1;
inline constexpr HResult E_NOINTERFACE = static_cast<HResult>(0x80004002u);
inline constexpr HResult E_POINTER = static_cast<HResult>(0x80004003u);
inline constexpr HResult E_FAIL = static_cast<HResult>(0x80004005u);
inline constexpr HResult CLASS_E_NOAGGREGATION = static_cast<HResult>(0x80040110u);
inline constexpr HResult CLASS_E_CLASSNOTAVAILABLE = static_cast<HResult>(0x80040111u);

// Registry roots.
using RootKey = std::uint32_t;
inline constexpr RootKey HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr RootKey HKEY_CURRENT_USER = 0x80000001u;
inline constexpr RootKey HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr const char *LibraryName = "IGShell";
inline constexpr const char *LibraryDescription = "Imagrove 2 Shell Extensions";
inline constexpr const char *LibraryVersion = "1.0";

// Identifiers.
inline const QUuid LIBID_IGShell{QStringLiteral("{A2036895-019A-11D3-A95E-60874DC10000}")};
inline const QUuid IID_clsReg_n_FileAssoc{QStringLiteral("{A203688D-019A-11D3-A95E-60874DC10000}")};
inline const QUuid CLSID_clsReg_n_FileAssoc{
    QStringLiteral("{A203688E-019A-11D3-A95E-60874DC10000}")};
inline const QUuid IID_clsShell{QStringLiteral("{A203688F-019A-11D3-A95E-60874DC10000}")};
inline const QUuid CLSID_clsShell{QStringLiteral("{A2036890-019A-11D3-A95E-60874DC10000}")};
inline const QUuid IID_IUnknown{QStringLiteral("{00000000-0000-0000-C000-000000000046}")};
inline const QUuid IID_IClassFactory{QStringLiteral("{00000001-0000-0000-C000-000000000046}")};

// Reference-counted base of every object the library hands out.
class IUnknown
{
public:
    virtual HResult QueryInterface(const QUuid &iid, void **object) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

class IClassFactory : public IUnknown
{
public:
    // outer must be null: the classes cannot be aggregated.
    virtual HResult CreateInstance(IUnknown *outer, const QUuid &iid, void **object) = 0;
    virtual HResult LockServer(bool lock) = 0;
};

// Registry primitives, file-type associations with undo records, and the
// program picker. No operation throws; results that may be absent are
// invalid (empty) variants.
class _clsReg_n_FileAssoc : public IUnknown
{
public:
    virtual void savekey(RootKey hKey, const QString &strPath) = 0;
    // Text of a string value (an invalid strValue means the default value);
    // empty when the key or value is missing or not a string.
    virtual QVariant getstring(RootKey hKey, const QString &strPath,
                               const QVariant &strValue = {}) = 0;
    virtual void savestring(RootKey hKey, const QString &strPath, const QString &strValue,
                            const QString &strdata) = 0;
    virtual std::int32_t getdword(RootKey hKey, const QString &strPath,
                                  const QString &strValueName) = 0;
    virtual QVariant SaveDword(RootKey hKey, const QString &strPath, const QString &strValueName,
                               std::int32_t lData) = 0;
    virtual QVariant DeleteKey(RootKey hKey, const QString &strKey) = 0;
    virtual QVariant DeleteValue(RootKey hKey, const QString &strPath, const QString &strValue) = 0;

    // True when FTExtension is registered to AppPath/ExeName+Extension.
    virtual bool Associated(const QString &ProperFTName, const QString &AppPath,
                            const QString &ExeName, const QString &Extension, const QString &Action,
                            const QString &FTExtension) = 0;
    // Registers Extension as type ProperName opened by Path/ExeName+Extention.
    virtual void CreateAssociation(const QString &ProperName, const QString &FullName,
                                   const QString &ContentType, const QString &Extension,
                                   const QString &Action, const QString &Path,
                                   const QString &ExeName, const QString &Extention,
                                   const QString &DefaultIconFP) = 0;
    // Records what an association of FTExtension would replace, in the folder
    // SaveTo_Path. False, with GetLastErrorMsg set, when it cannot.
    virtual bool CreateUndoAssDat(const QString &FTExtension, const QString &ProperName,
                                  const QString &Action, const QVariant &SaveTo_Path) = 0;
    // Puts back the association recorded in SavedTo_path; the record is then
    // deleted. False, with GetLastErrorMsg set, when it cannot.
    virtual bool UndoAssociation(const QString &SavedTo_path, const QString &FTExtension) = 0;
    virtual QString GetLastErrorMsg() = 0;

    // Shows the program picker; true unless the user pressed Cancel.
    virtual bool ShowPrograms(const QString &Title, const QString &Message,
                              const QString &Pattern) = 0;
    virtual QVariant ProgramFN() = 0;
    virtual QVariant ProgramFP() = 0;
};

// Shell utilities: folder and file dialogs, system folders, other
// programs' windows, menu and desktop shortcuts (desktop entries), opening
// documents, menu pictures and the wallpaper. No operation throws; a window
// argument is the caller's window.
class _clsShell : public IUnknown
{
public:
    // The chosen folder; invalid when cancelled.
    virtual QVariant Folders(const QString &Title, QWidget *callingform) = 0;
    // The system's program folder.
    virtual QString GetWindowsDir() = 0;
    // The temporary folder with a trailing separator; empty on failure.
    virtual QString GetTmpPath() = 0;
    // The login name; empty on failure.
    virtual QString UserName() = 0;
    // Asks the window titled AppName to close; nothing when there is none.
    virtual QVariant CloseApp(const QString &AppName) = 0;
    virtual void FormStayOnTop(QWidget *frmForm, bool fOnTop) = 0;

    // Shortcuts in the applications menu's folder; MenuPath and Path are
    // sub-folders with a trailing separator, or empty.
    virtual bool StartMenLnkCreate(const QString &MenuPath, const QString &Name,
                                   const QString &LinkPath, const QString &LineArgs) = 0;
    virtual bool StartMenuLinkChk(const QString &Path, const QString &ShtCtName) = 0;
    virtual QVariant StartMenuLnkDel(const QString &Path, const QString &ShtCtName) = 0;
    // False only when a plain file stands where the folder would be.
    virtual bool StartMenuCreateFldr(const QString &Path) = 0;
    virtual void StartMenuDelFldr(const QString &Path) = 0;
    // The user's desktop folder exists.
    virtual bool QuickStart() = 0;
    virtual bool QuickStartShCut(const QString &Path, const QString &ShCutName) = 0;

    // Filter is "description|pattern|..."; it is changed to hold NULs in
    // place of the bars. The chosen path, or empty when cancelled.
    virtual QString SaveDialog(QWidget *Form1, QString &Filter, const QString &Title,
                               const QString &InitDir = {}) = 0;
    virtual QString OpenDialog(QWidget *Form1, QString &Filter, const QString &Title,
                               const QString &InitDir) = 0;
    // Opens a document with the desktop's program for it, in the folder
    // FilePath; failures are told in a message box.
    virtual void RunFile(QString File, const QString &FilePath, const QVariant &RunStyle) = 0;
    // Gives item MenuItem of the menu at MenuPos in cForm's menu bar the
    // pictures of its unchecked and checked states.
    virtual QVariant BMPonMenu(QWidget *cForm, const QPixmap &PicBoxUnchk,
                               const QPixmap &PicBoxChkd, std::int32_t MenuPos,
                               std::int32_t MenuItem) = 0;
    virtual void SetDesktopImage(QString Path, const QString &Tile) = 0;
};

// The library's windows run through this seam, so a host's tests can answer
// them without showing anything.
class UiSeam
{
public:
    virtual ~UiSeam() = default;
    // Runs a modal window and returns its result code.
    virtual int runModal(QDialog &dialog) = 0;
    // A message box with an OK button.
    virtual void message(const QString &text, const QString &caption) = 0;
    // Starts a program without waiting for it; false when it cannot start.
    virtual bool startProgram(const QString &program, const QStringList &arguments,
                              const QString &workingFolder) = 0;
};

} // namespace pantrel

extern "C" {
PANTREL_API pantrel::HResult DllRegisterServer();
PANTREL_API pantrel::HResult DllUnregisterServer();
PANTREL_API pantrel::HResult DllGetClassObject(const QUuid &clsid, const QUuid &iid, void **object);
PANTREL_API pantrel::HResult DllCanUnloadNow();
// Replaces the seam (null restores the real one); returns the former seam.
PANTREL_API pantrel::UiSeam *PantrelSetUiSeam(pantrel::UiSeam *seam);
}
