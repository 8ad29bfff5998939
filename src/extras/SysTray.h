#pragma once

#include "platform/Picture.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

namespace extras {

// One icon with a tip in the desktop's system tray, reporting what the mouse
// does on it. Built on QSystemTrayIcon, which stands in for the tray
// operations and turns the tray's activations into mouse events.
class SysTray final : public QObject
{
    Q_OBJECT
public:
    // Characters of a tip the tray holds.
    static constexpr int TipCapacity = 64;

    explicit SysTray(QObject *parent = nullptr);
    ~SysTray() override;

    bool InTray() const { return m_inTray; }
    void setInTray(bool value);
    const QIcon &TrayIcon() const { return m_icon; }
    // Only an icon picture is taken; anything else is ignored.
    void setTrayIcon(const platform::Picture &picture);
    const QString &TrayTip() const { return m_tip; }
    void setTrayTip(const QString &text);

    // The tray's own icon while the control is in the tray; for tests.
    QSystemTrayIcon *trayIcon() const { return m_tray; }

Q_SIGNALS:
    void MouseMove(int id);
    void MouseDown(int button, int id);
    void MouseUp(int button, int id);
    void MouseDblClick(int button, int id);

private:
    void add();
    void activated(QSystemTrayIcon::ActivationReason reason);

    bool m_inTray = false;
    QPointer<QSystemTrayIcon> m_tray; // set while added
    QIcon m_icon;
    QString m_tip = QStringLiteral("Imagrove tray icon");
};

} // namespace extras
