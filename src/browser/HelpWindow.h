#pragma once

#include "platform/Desktop.h"

#include <QWidget>

class QTextBrowser;
class QUrl;

namespace browser {

// The program's own help pages, shown by the program itself where the
// desktop has nothing to open them with. Links within the help stay here;
// others go to the desktop, and one it cannot open is said so.
class HelpWindow final : public QWidget
{
    Q_OBJECT
public:
    HelpWindow(const QString &page, platform::Desktop &desktop, QWidget *parent = nullptr);

    QTextBrowser *browser() const { return m_browser; }

private:
    void followLink(const QUrl &link);

    platform::Desktop &m_desktop;
    QTextBrowser *m_browser = nullptr;
};

// Opens an address through the desktop; when nothing there can open it, a
// message names the address.
void openOrSay(platform::Desktop &desktop, const QString &address, const QString &workingFolder);

} // namespace browser
