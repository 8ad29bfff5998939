#pragma once

#include <memory>
#include <QString>

class QLibrary;
class QUuid;

namespace pantrel {
class _clsReg_n_FileAssoc;
class _clsShell;
class UiSeam;
} // namespace pantrel

namespace core {

// The program's objects of the pantrel library, created by class identifier
// on first use. When the library cannot be loaded or an object cannot be
// made, the accessors return null and callers skip the step.
class PantrelComponents
{
public:
    // The library beside the program by default.
    explicit PantrelComponents(QString libraryPath);
    ~PantrelComponents();
    PantrelComponents(const PantrelComponents &) = delete;
    PantrelComponents &operator=(const PantrelComponents &) = delete;

    static QString defaultLibraryPath(const QString &programFolder);

    // The library's windows and messages go through the seam while these
    // components live.
    void setUiSeam(pantrel::UiSeam *seam) { m_seam = seam; }

    pantrel::_clsReg_n_FileAssoc *fileAssoc();
    pantrel::_clsShell *shell();

private:
    void *create(const QUuid &clsid, const QUuid &iid);

    QString m_path;
    std::unique_ptr<QLibrary> m_library;
    bool m_loadFailed = false;
    pantrel::_clsReg_n_FileAssoc *m_fileAssoc = nullptr;
    pantrel::_clsShell *m_shell = nullptr;
    pantrel::UiSeam *m_seam = nullptr;
    using SetSeam = pantrel::UiSeam *(*)(pantrel::UiSeam *);
    SetSeam m_setSeam = nullptr;
};

} // namespace core
