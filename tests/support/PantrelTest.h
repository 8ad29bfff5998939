#pragma once

#include "ComponentTest.h"
#include "pantrel.h"

#include <memory>
#include <QDialog>

// The component library's windows answered by the desktop double, as the
// program's own seam does.
class DoubleSeam final : public pantrel::UiSeam
{
public:
    explicit DoubleSeam(platform::Desktop &desktop) : m_desktop(desktop) {}
    int runModal(QDialog &dialog) override { return m_desktop.runModal(dialog); }
    void message(const QString &text, const QString &caption) override
    {
        m_desktop.msgBox(text, platform::Icon::Information, platform::Buttons::Ok, caption);
    }
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &folder) override
    {
        return m_desktop.startProgram(program, arguments, folder);
    }

private:
    platform::Desktop &m_desktop;
};

// A component test with the real component library (the test links it)
// and a program folder of its own.
class PantrelTest : public ComponentTest
{
protected:
    QString m_program;
    std::unique_ptr<DoubleSeam> m_seam;
    pantrel::_clsReg_n_FileAssoc *m_assoc = nullptr;

    void setUpPantrelTest()
    {
        setUpComponentTest();
        m_program = m_env->makeFolder(QStringLiteral("program"));
        m_seam = std::make_unique<DoubleSeam>(*m_desktop);
        PantrelSetUiSeam(m_seam.get());
        pantrel::IClassFactory *factory = nullptr;
        DllGetClassObject(pantrel::CLSID_clsReg_n_FileAssoc, pantrel::IID_IClassFactory,
                          reinterpret_cast<void **>(&factory));
        void *object = nullptr;
        factory->CreateInstance(nullptr, pantrel::IID_clsReg_n_FileAssoc, &object);
        factory->Release();
        m_assoc = static_cast<pantrel::_clsReg_n_FileAssoc *>(object);
    }
    bool tearDownPantrelTest()
    {
        m_assoc->Release();
        PantrelSetUiSeam(nullptr);
        return tearDownComponentTest();
    }
    QString registry(const QString &key, const QString &value = {})
    {
        return m_assoc->getstring(pantrel::HKEY_CLASSES_ROOT, key, value).toString();
    }
};
