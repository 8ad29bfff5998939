#pragma once

#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "platform/Desktop.h"

#include <array>
#include <QDialog>
#include <QTimer>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pantrel {
class _clsReg_n_FileAssoc;
} // namespace pantrel

namespace extras {

// The upgrade wizard for a user coming from version 2.0: which image types
// to open, the associations made, and the upgrade recorded.
class frmIGUpdate final : public QDialog
{
    Q_OBJECT
public:
    // assoc may be null (no component library): no type is associated.
    frmIGUpdate(core::SettingsStore &settings, core::AppState &state, platform::Desktop &desktop,
                pantrel::_clsReg_n_FileAssoc *assoc, QString programFolder,
                QWidget *parent = nullptr);
    ~frmIGUpdate() override;

    // Whether this start is an upgrade from 2.0, decided once per user:
    // with no "updated" yet, someone with the old store and not the new one
    // is upgrading. Nothing is written; record() keeps the decision.
    struct Upgrade
    {
        bool recorded = false; // "updated" was there already
        bool upgrading = false;
        void record(core::SettingsStore &settings) const;
    };
    static Upgrade upgrade(const core::SettingsStore &settings);

    std::array<QFrame *, 8> Frame1{}; // pages 0, 4, 5, 6 and 7
    std::array<QPushButton *, 8> cmdNext{};
    std::array<QPushButton *, 8> cmdBack{};
    std::array<QPushButton *, 8> cmdCancel{};
    QRadioButton *optAss = nullptr;
    QRadioButton *optNoAss = nullptr;
    QRadioButton *optAssCustom = nullptr;
    // chkBMPass to chkCURass, in the order of core::imageTypes.
    std::array<QCheckBox *, 7> chkAss{};
    std::array<QLabel *, 3> stepLabels{};
    QFrame *Shape1 = nullptr;
    QLabel *lblContinue = nullptr;
    QTimer Timer1;

    // The result of Cancel: the program ends.
    static constexpr int Ended = 2;

    int visiblePage() const;
    void done(int result) override;

private:
    void build();
    QFrame *page(int index, const QStringList &texts);
    void showPage(int index);
    void cmdNext_Click(int index);
    void cmdBack_Click(int index);
    void Timer1_Timer();
    void stepLabel(int step, bool bold);
    void widenBar();

    core::SettingsStore &m_settings;
    core::AppState &m_state;
    // Held while the window is open.
    core::FlagHold m_secondary{m_state.SecondaryWindowOpen};
    platform::Desktop &m_desktop;
    pantrel::_clsReg_n_FileAssoc *m_assoc;
    QString m_folder;
    int m_bar = 0;
    bool m_unloaded = false;
};

} // namespace extras
