// The component server: class factories, lifetime and the entry points.
#include "clsReg_n_FileAssoc.h"
#include "clsShell.h"
#include "Form1.h"
#include "Objects.h"
#include "Registry.h"
#include "Seam.h"

#include <dlfcn.h>
#include <QDialog>
#include <QMessageBox>
#include <QProcess>

namespace pantrel {

// ---- lifetime ----

namespace {
std::atomic<int> liveObjects{0};
std::atomic<int> serverLocks{0};
} // namespace

void lifetime::objectCreated()
{
    ++liveObjects;
}

void lifetime::objectDestroyed()
{
    --liveObjects;
}

void lifetime::lock(bool on)
{
    serverLocks += on ? 1 : -1;
}

bool lifetime::canUnload()
{
    return liveObjects == 0 && serverLocks == 0;
}

// ---- seam ----

namespace {

class RealSeam final : public UiSeam
{
public:
    int runModal(QDialog &dialog) override { return dialog.exec(); }
    void message(const QString &text, const QString &caption) override
    {
        QMessageBox::information(nullptr, caption, text);
    }
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override
    {
        return QProcess::startDetached(program, arguments, workingFolder);
    }
};

UiSeam *hostSeam = nullptr;

} // namespace

UiSeam &seam()
{
    static RealSeam real;
    return hostSeam ? *hostSeam : real;
}

// ---- classes ----

namespace {

template <typename Class, typename Interface>
class ClassFactory final : public RefCounted<IClassFactory>
{
public:
    explicit ClassFactory(QUuid iid) : m_iid(iid) {}

    HResult QueryInterface(const QUuid &iid, void **object) override
    {
        return answer(iid, IID_IClassFactory, object);
    }

    HResult CreateInstance(IUnknown *outer, const QUuid &iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (iid != m_iid && iid != IID_IUnknown)
            return E_NOINTERFACE;
        Interface *created = new Class;
        // The caller holds the one reference.
        *object = created;
        return S_OK;
    }

    HResult LockServer(bool lock) override
    {
        lifetime::lock(lock);
        return S_OK;
    }

private:
    QUuid m_iid;
};

struct ClassEntry
{
    QUuid clsid;
    QUuid iid;
    const char *className;
    const char *interfaceName;
};

const ClassEntry classTable[] = {
    {CLSID_clsReg_n_FileAssoc, IID_clsReg_n_FileAssoc, "clsReg_n_FileAssoc", "_clsReg_n_FileAssoc"},
    {CLSID_clsShell, IID_clsShell, "clsShell", "_clsShell"},
};

QString braced(const QUuid &id)
{
    return id.toString(QUuid::WithBraces).toUpper();
}

QString libraryFile()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&DllRegisterServer), &info) && info.dli_fname)
        return QString::fromLocal8Bit(info.dli_fname);
    return {};
}

void setDefault(RegistryTree &tree, const QString &path, const QString &text,
                const QString &valueName = {})
{
    RegKey *key = tree.ensure(HKEY_CLASSES_ROOT, path);
    key->removeValue(valueName);
    RegValue value;
    value.name = valueName;
    value.text = text;
    key->values.append(value);
}

const char *const parentKeys[] = {"CLSID", "Interface", "TypeLib"};
const QString createdParentsValue = QStringLiteral("CreatedParents");

// The keys that registration owns.
QStringList registeredKeys()
{
    QStringList keys;
    for (const ClassEntry &entry : classTable) {
        keys << QStringLiteral("CLSID\\") + braced(entry.clsid);
        keys << QStringLiteral("%1.%2").arg(QLatin1String(LibraryName),
                                            QLatin1String(entry.className));
        keys << QStringLiteral("Interface\\") + braced(entry.iid);
    }
    keys << QStringLiteral("TypeLib\\") + braced(LIBID_IGShell);
    return keys;
}

} // namespace
} // namespace pantrel

using namespace pantrel;

extern "C" {

HResult DllRegisterServer()
{
    const QString file = libraryFile();
    if (file.isEmpty())
        return E_FAIL;
    Registry registry;
    const bool written = registry.update([&](RegistryTree &tree) {
        const QString lib = braced(LIBID_IGShell);
        // Remember the parents registration creates, so unregistration can
        // take them away again and leave the registry as it found it.
        QStringList created;
        for (const char *parent : parentKeys) {
            if (!tree.find(HKEY_CLASSES_ROOT, QLatin1String(parent)))
                created << QLatin1String(parent);
        }
        // Registering again keeps what the first registration recorded.
        if (RegKey *existing = tree.find(HKEY_CLASSES_ROOT, QStringLiteral("TypeLib\\") + lib)) {
            if (const RegValue *value = existing->value(createdParentsValue))
                created = value->text.split(u';', Qt::SkipEmptyParts);
        }
        for (const ClassEntry &entry : classTable) {
            const QString progId = QStringLiteral("%1.%2").arg(QLatin1String(LibraryName),
                                                               QLatin1String(entry.className));
            const QString clsid = QStringLiteral("CLSID\\") + braced(entry.clsid);
            setDefault(tree, clsid, progId);
            setDefault(tree, clsid + QStringLiteral("\\InprocServer32"), file);
            setDefault(tree, clsid + QStringLiteral("\\ProgID"), progId);
            setDefault(tree, clsid + QStringLiteral("\\TypeLib"), lib);
            setDefault(tree, clsid + QStringLiteral("\\VERSION"), QLatin1String(LibraryVersion));
            setDefault(tree, progId, progId);
            setDefault(tree, progId + QStringLiteral("\\CLSID"), braced(entry.clsid));
            const QString iface = QStringLiteral("Interface\\") + braced(entry.iid);
            setDefault(tree, iface, QLatin1String(entry.interfaceName));
            setDefault(tree, iface + QStringLiteral("\\TypeLib"), lib);
            setDefault(tree, iface + QStringLiteral("\\TypeLib"), QLatin1String(LibraryVersion),
                       QStringLiteral("Version"));
        }
        const QString typeLib =
            QStringLiteral("TypeLib\\") + lib + u'\\' + QLatin1String(LibraryVersion);
        setDefault(tree, typeLib, QLatin1String(LibraryDescription));
        setDefault(tree, typeLib + QStringLiteral("\\0\\linux"), file);
        setDefault(tree, typeLib + QStringLiteral("\\FLAGS"), QStringLiteral("0"));
        setDefault(tree, QStringLiteral("TypeLib\\") + lib, created.join(u';'),
                   createdParentsValue);
        return true;
    });
    return written ? S_OK : E_FAIL;
}

HResult DllUnregisterServer()
{
    Registry registry;
    const bool written = registry.update([](RegistryTree &tree) {
        QStringList created;
        if (RegKey *lib =
                tree.find(HKEY_CLASSES_ROOT, QStringLiteral("TypeLib\\") + braced(LIBID_IGShell))) {
            if (const RegValue *value = lib->value(createdParentsValue))
                created = value->text.split(u';', Qt::SkipEmptyParts);
        }
        bool changed = false;
        for (const QString &key : registeredKeys())
            changed |= tree.remove(HKEY_CLASSES_ROOT, key);
        for (const QString &parent : created) {
            const RegKey *key = tree.find(HKEY_CLASSES_ROOT, parent);
            if (key && key->isEmpty())
                changed |= tree.remove(HKEY_CLASSES_ROOT, parent);
        }
        return changed;
    });
    return written ? S_OK : E_FAIL;
}

HResult DllGetClassObject(const QUuid &clsid, const QUuid &iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IClassFactory *factory = nullptr;
    if (clsid == CLSID_clsReg_n_FileAssoc)
        factory = new ClassFactory<clsReg_n_FileAssoc, _clsReg_n_FileAssoc>(IID_clsReg_n_FileAssoc);
    else if (clsid == CLSID_clsShell)
        factory = new ClassFactory<clsShell, _clsShell>(IID_clsShell);
    else
        return CLASS_E_CLASSNOTAVAILABLE;
    const HResult result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

HResult DllCanUnloadNow()
{
    return lifetime::canUnload() ? S_OK : S_FALSE;
}

UiSeam *PantrelSetUiSeam(UiSeam *seam)
{
    UiSeam *former = hostSeam;
    hostSeam = seam;
    return former;
}

} // extern "C"
