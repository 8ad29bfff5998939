#include "PantrelComponents.h"

#include "pantrel.h"

#include <QLibrary>

namespace core {

namespace {
using GetClassObject = pantrel::HResult (*)(const QUuid &, const QUuid &, void **);
}

PantrelComponents::PantrelComponents(QString libraryPath) : m_path(std::move(libraryPath)) {}

PantrelComponents::~PantrelComponents()
{
    if (m_fileAssoc)
        m_fileAssoc->Release();
    if (m_shell)
        m_shell->Release();
    if (m_setSeam)
        m_setSeam(nullptr);
    // The library stays mapped: Qt keeps its plugins and metatypes alive.
}

QString PantrelComponents::defaultLibraryPath(const QString &programFolder)
{
    return programFolder + QStringLiteral("/libpantrel.so.1");
}

void *PantrelComponents::create(const QUuid &clsid, const QUuid &iid)
{
    if (m_loadFailed)
        return nullptr;
    if (!m_library) {
        m_library = std::make_unique<QLibrary>(m_path);
        if (!m_library->load()) {
            m_loadFailed = true;
            return nullptr;
        }
        m_setSeam = reinterpret_cast<SetSeam>(m_library->resolve("PantrelSetUiSeam"));
        if (m_setSeam && m_seam)
            m_setSeam(m_seam);
    }
    auto getClassObject = reinterpret_cast<GetClassObject>(m_library->resolve("DllGetClassObject"));
    if (!getClassObject) {
        m_loadFailed = true;
        return nullptr;
    }
    void *object = nullptr;
    pantrel::IClassFactory *factory = nullptr;
    if (getClassObject(clsid, pantrel::IID_IClassFactory, reinterpret_cast<void **>(&factory)) !=
            pantrel::S_OK ||
        !factory)
        return nullptr;
    if (factory->CreateInstance(nullptr, iid, &object) != pantrel::S_OK)
        object = nullptr;
    factory->Release();
    return object;
}

pantrel::_clsReg_n_FileAssoc *PantrelComponents::fileAssoc()
{
    if (!m_fileAssoc)
        m_fileAssoc = static_cast<pantrel::_clsReg_n_FileAssoc *>(
            create(pantrel::CLSID_clsReg_n_FileAssoc, pantrel::IID_clsReg_n_FileAssoc));
    return m_fileAssoc;
}

pantrel::_clsShell *PantrelComponents::shell()
{
    if (!m_shell)
        m_shell = static_cast<pantrel::_clsShell *>(
            create(pantrel::CLSID_clsShell, pantrel::IID_clsShell));
    return m_shell;
}

} // namespace core
