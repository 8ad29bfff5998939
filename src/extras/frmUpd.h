#pragma once

#include "core/AppState.h"
#include "platform/Desktop.h"
#include "UpdateClient.h"

#include <array>
#include <QDialog>
#include <QTimer>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace extras {

// The update check: asks the product's web site whether a newer version
// exists and, if so, opens its download page in the web browser.
class frmUpd final : public QDialog
{
    Q_OBJECT
public:
    frmUpd(core::AppState &state, platform::Desktop &desktop, const Reachability &reachability,
           QString programFolder, QWidget *parent = nullptr);
    ~frmUpd() override;

    std::array<QFrame *, 5> fr1{};
    std::array<QPushButton *, 5> cmdFor{};
    std::array<QPushButton *, 5> cmdBack{};
    std::array<QPushButton *, 5> cmdCancel{};
    QLabel *lblStatus = nullptr;
    QGroupBox *Progress = nullptr;
    QFrame *shpVal = nullptr;
    QTimer Timer1; // the connection watchdog
    QTimer Timer2; // the progress animation

    int visiblePage() const;
    // The bar's width in twips.
    int barWidth() const { return m_barWidth; }
    bool requestRunning() const { return m_client.running(); }

    void done(int result) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void build();
    void wire();
    void showPage(int page);
    void setBarWidth(int twips);
    void cmdFor_Click(int index);
    void cmdBack_Click(int index);
    void cmdCancel_Click(int index);
    void startCheck();
    void answerReceived(const QString &body);
    void addressReceived(const QString &body);
    void Timer1_Timer();
    // The request got no answer: as the watchdog, the user may retry.
    void requestFailed();
    void Timer2_Timer();
    void openDownloadPage();
    void stopAll();
    void Form_Unload();

    core::AppState &m_state;
    // Held while the window is open.
    core::FlagHold m_secondary{m_state.SecondaryWindowOpen};
    platform::Desktop &m_desktop;
    const Reachability &m_reachability;
    QString m_programFolder;
    UpdateClient m_client;
    QString m_answer;
    QString m_downloadPage;
    int m_resultPage = 2;
    int m_barWidth = 15;
    bool m_unloaded = false;
};

} // namespace extras
