#pragma once

#include "core/SettingsStore.h"
#include "platform/Desktop.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace extras {

// The licence agreement shown until the user accepts it: "Yes" records the
// acceptance, "No" ends the program.
class frmAgr final : public QDialog
{
    Q_OBJECT
public:
    frmAgr(core::SettingsStore &settings, platform::Desktop &desktop, QWidget *parent = nullptr);

    // The agreement: a plain-language summary, then the licence itself.
    static QString agreementText();

    QPlainTextEdit *Text1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *cmdIagree = nullptr;
    QPushButton *cmdIdont = nullptr;

private:
    void cmdIagree_Click();

    core::SettingsStore &m_settings;
    platform::Desktop &m_desktop;
};

} // namespace extras
