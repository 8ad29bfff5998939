#pragma once

#include "core/AppState.h"
#include "platform/Desktop.h"

#include <QDialog>
#include <QPixmap>

class QFrame;
class QLabel;

namespace extras {

// The About box: any click closes it, except on the web site's link.
class frmAbout final : public QDialog
{
    Q_OBJECT
public:
    frmAbout(core::AppState &state, platform::Desktop &desktop, const QPixmap &logo,
             QString programFolder, QWidget *parent = nullptr);
    ~frmAbout() override;

    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
    QFrame *Shape1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr; // the link
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Label2_Click();
    void linkColour(Qt::GlobalColor colour);

    core::AppState &m_state;
    // Held while the window is open.
    core::FlagHold m_secondary{m_state.SecondaryWindowOpen};
    platform::Desktop &m_desktop;
    QString m_programFolder;
    bool m_unloaded = false;
};

} // namespace extras
