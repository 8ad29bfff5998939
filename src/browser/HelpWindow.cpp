#include "HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace browser {

HelpWindow::HelpWindow(const QString &page, platform::Desktop &desktop, QWidget *parent)
    : QWidget(parent, Qt::Window), m_desktop(desktop)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Imagrove Help"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenLinks(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    m_browser->setSource(QUrl::fromLocalFile(page));
    resize(720, 600);
}

void HelpWindow::followLink(const QUrl &link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (target.isLocalFile() &&
        target.toLocalFile().endsWith(QLatin1String(".html"), Qt::CaseInsensitive)) {
        m_browser->setSource(target);
        return;
    }
    openOrSay(m_desktop, target.toString(), {});
}

void openOrSay(platform::Desktop &desktop, const QString &address, const QString &workingFolder)
{
    if (!desktop.shellOpen(address, workingFolder))
        desktop.msgBox(QStringLiteral("No program was found to open %1.").arg(address),
                       platform::Icon::Exclamation, platform::Buttons::Ok);
}

} // namespace browser
