#pragma once

#include "core/SettingsStore.h"
#include "platform/Desktop.h"

#include <QObject>
#include <QRandomGenerator>
#include <QStringList>

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;

namespace extras {

// Tips of the day: a random line of the tips file shown in the display
// pane until the first image takes its place.
class TipPanel final : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        QLabel *lblTipText = nullptr;
        QPushButton *cmdNextTip = nullptr;
        QCheckBox *chkLoadTipsAtStartup = nullptr;
        QAction *mnuTips = nullptr;
    };

    // tipsFile: the tips file beside the program.
    TipPanel(const Controls &controls, core::SettingsStore &settings, platform::Desktop &desktop,
             QString tipsFile, QObject *parent = nullptr);

    void ShowTipPanel();
    bool LoadTips(const QString &path);
    void NextTip();
    void DisplayCurrentTip();

    // An image took the pane: the tips and their controls give way.
    void imageSelected();

Q_SIGNALS:
    // The pane is to show the placeholder picture for tips on or off.
    void placeholderWanted(bool tipsOn);
    // The menu switched tips: the pane shows no image now.
    void paneCleared();

private:
    void wire();
    void cmdNextTip_Click();
    void chkLoadTipsAtStartup_Click();
    void mnuTips_Click();
    void save(const QString &value);

    Controls m_c;
    core::SettingsStore &m_settings;
    platform::Desktop &m_desktop;
    QString m_tipsFile;
    QStringList m_tips;
    int m_current = 0; // 1-based
    QRandomGenerator m_random;
};

// The lines of a tips file: UTF-8 where the bytes are valid UTF-8, Latin-1
// otherwise; every line, empty ones included, is one tip.
QStringList tipLines(const QByteArray &bytes);

} // namespace extras
