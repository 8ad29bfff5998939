#pragma once

#include "Objects.h"

namespace pantrel {

class clsShell final : public RefCounted<_clsShell>
{
public:
    HResult QueryInterface(const QUuid &iid, void **object) override
    {
        return answer(iid, IID_clsShell, object);
    }

    QVariant Folders(const QString &Title, QWidget *callingform) override;
    QString GetWindowsDir() override;
    QString GetTmpPath() override;
    QString UserName() override;
    QVariant CloseApp(const QString &AppName) override;
    void FormStayOnTop(QWidget *frmForm, bool fOnTop) override;
    bool StartMenLnkCreate(const QString &MenuPath, const QString &Name, const QString &LinkPath,
                           const QString &LineArgs) override;
    bool StartMenuLinkChk(const QString &Path, const QString &ShtCtName) override;
    QVariant StartMenuLnkDel(const QString &Path, const QString &ShtCtName) override;
    bool StartMenuCreateFldr(const QString &Path) override;
    void StartMenuDelFldr(const QString &Path) override;
    bool QuickStart() override;
    bool QuickStartShCut(const QString &Path, const QString &ShCutName) override;
    QString SaveDialog(QWidget *Form1, QString &Filter, const QString &Title,
                       const QString &InitDir = {}) override;
    QString OpenDialog(QWidget *Form1, QString &Filter, const QString &Title,
                       const QString &InitDir) override;
    void RunFile(QString File, const QString &FilePath, const QVariant &RunStyle) override;
    QVariant BMPonMenu(QWidget *cForm, const QPixmap &PicBoxUnchk, const QPixmap &PicBoxChkd,
                       std::int32_t MenuPos, std::int32_t MenuItem) override;
    void SetDesktopImage(QString Path, const QString &Tile) override;
};

namespace shell {
// The applications menu's folder, with a trailing separator.
QString programsFolder();
// A desktop entry that starts program with the arguments (raw command-line
// text) or, for a document, opens it.
QByteArray desktopEntry(const QString &name, const QString &target, const QString &arguments);
// Writes a file whole or not at all.
bool writeAtomically(const QString &path, const QByteArray &contents, bool executable = false);
} // namespace shell

} // namespace pantrel
