#include "frmUpd.h"

#include "core/Site.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace extras {

namespace {

struct Page
{
    const char *title;
    const char *body;
    const char *forward;
};

constexpr Page pages[] = {
    {"Welcome to Imagrove Update!",
     "This wizard will guide you through the necessary steps to upgrade your current version of "
     "Imagrove to the newest version available from Tarnwick Software",
     "&Next >"},
    {"Checking for Update", "Status:", "&Next >"},
    {"No Update Available",
     "There is no update available for your current version of Imagrove, you have the latest "
     "version available.  Please keep checking on a regular basis",
     "&Finish"},
    {"There's an Update Available!",
     "Your current version of Imagrove is now out of date, to upgrade to the latest version click "
     "'Next'.  This will launch your web-browser and take you directly to the download web-page.",
     "&Next >"},
    {"Launching web-browser.",
     "Your default web-browser should be launched now, if it does not launch then please contact "
     "Technical Support or you can go to the Imagrove website to retrieve the update manually.",
     "&Finish"},
};

constexpr int ProgressWidth = 4800; // twips: the "Progress" frame's inside
constexpr int BarHeight = 285;
constexpr int BarStart = 15;

} // namespace

frmUpd::frmUpd(core::AppState &state, platform::Desktop &desktop, const Reachability &reachability,
               QString programFolder, QWidget *parent)
    : QDialog(parent), m_state(state), m_desktop(desktop), m_reachability(reachability),
      m_programFolder(std::move(programFolder))
{
    setObjectName(QStringLiteral("frmUpd"));
    setWindowTitle(QStringLiteral("Imagrove Update"));
    Timer1.setInterval(50000);
    Timer2.setInterval(200);
    build();
    wire();
    showPage(0);
}

frmUpd::~frmUpd()
{
    Form_Unload();
}

void frmUpd::build()
{
    auto *layout = new QGridLayout(this);
    for (int i = 0; i < 5; ++i) {
        auto *page = new QFrame(this);
        page->setObjectName(QStringLiteral("fr1(%1)").arg(i));
        auto *column = new QVBoxLayout(page);
        auto *title = new QLabel(QLatin1String(pages[i].title), page);
        QFont bold = title->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.3);
        title->setFont(bold);
        auto *body = new QLabel(QLatin1String(pages[i].body), page);
        body->setWordWrap(true);
        column->addWidget(title);
        column->addWidget(body);
        if (i == 1) {
            lblStatus = new QLabel(QStringLiteral("Connecting to server...."), page);
            lblStatus->setObjectName(QStringLiteral("lblStatus"));
            Progress = new QGroupBox(QStringLiteral("Progress"), page);
            Progress->setObjectName(QStringLiteral("Progress"));
            Progress->setFixedSize(platform::twips::toPixels(ProgressWidth) + 16,
                                   platform::twips::toPixels(BarHeight) + 40);
            shpVal = new QFrame(Progress);
            shpVal->setObjectName(QStringLiteral("shpVal"));
            shpVal->setStyleSheet(QStringLiteral("background: #000080;"));
            column->addWidget(lblStatus);
            column->addWidget(Progress);
        }
        column->addStretch();
        auto *buttons = new QHBoxLayout;
        cmdBack[size_t(i)] = new QPushButton(QStringLiteral("< &Back"), page);
        cmdFor[size_t(i)] = new QPushButton(QLatin1String(pages[i].forward), page);
        cmdCancel[size_t(i)] = new QPushButton(QStringLiteral("Cancel"), page);
        cmdBack[size_t(i)]->setObjectName(QStringLiteral("cmdBack(%1)").arg(i));
        cmdFor[size_t(i)]->setObjectName(QStringLiteral("cmdFor(%1)").arg(i));
        cmdCancel[size_t(i)]->setObjectName(QStringLiteral("cmdCancel(%1)").arg(i));
        buttons->addStretch();
        buttons->addWidget(cmdBack[size_t(i)]);
        buttons->addWidget(cmdFor[size_t(i)]);
        buttons->addWidget(cmdCancel[size_t(i)]);
        column->addLayout(buttons);
        fr1[size_t(i)] = page;
        // Every page in the same place.
        layout->addWidget(page, 0, 0);
    }
    for (int i : {0, 1})
        cmdBack[size_t(i)]->setEnabled(false);
    cmdFor[1]->setEnabled(false);
    for (int i : {2, 4})
        cmdCancel[size_t(i)]->setEnabled(false);
    setBarWidth(BarStart);
    resize(platform::twips::toPixels(6600), platform::twips::toPixels(4200));
}

void frmUpd::wire()
{
    for (int i = 0; i < 5; ++i) {
        connect(cmdFor[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdFor_Click(i); });
        connect(cmdBack[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdBack_Click(i); });
        connect(cmdCancel[size_t(i)], &QPushButton::clicked, this,
                [this, i] { cmdCancel_Click(i); });
    }
    connect(&Timer1, &QTimer::timeout, this, &frmUpd::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &frmUpd::Timer2_Timer);
}

int frmUpd::visiblePage() const
{
    for (int i = 0; i < 5; ++i) {
        if (!fr1[size_t(i)]->isHidden())
            return i;
    }
    return -1;
}

void frmUpd::showPage(int page)
{
    for (QFrame *frame : fr1)
        frame->hide();
    fr1[size_t(page)]->show();
}

void frmUpd::setBarWidth(int twips)
{
    m_barWidth = twips;
    shpVal->setGeometry(8, 24, platform::twips::toPixels(std::min(twips, ProgressWidth)),
                        platform::twips::toPixels(BarHeight));
}

void frmUpd::cmdFor_Click(int index)
{
    switch (index) {
    case 0:
        startCheck();
        break;
    case 3:
        openDownloadPage();
        break;
    case 2:
    case 4:
        stopAll();
        accept();
        break;
    default:
        break;
    }
}

void frmUpd::cmdBack_Click(int)
{
    showPage(0);
    setBarWidth(BarStart);
}

void frmUpd::cmdCancel_Click(int)
{
    if (m_desktop.msgBox(QStringLiteral("Are you sure you wish to cancel?"),
                         platform::Icon::Question,
                         platform::Buttons::OkCancel) != platform::Answer::Ok)
        return;
    stopAll();
    reject();
}

void frmUpd::startCheck()
{
    for (;;) {
        showPage(1);
        lblStatus->setText(QStringLiteral("Connecting to server..."));
        if (m_reachability.online())
            break;
        if (m_desktop.msgBox(QStringLiteral("There is no active internet connection, please "
                                            "connect to the Internet and press 'OK' or 'Cancel' "
                                            "to cancel the Imagrove update."),
                             platform::Icon::Exclamation, platform::Buttons::OkCancel,
                             QStringLiteral("No Connection")) != platform::Answer::Ok) {
            reject();
            return;
        }
    }
    Timer1.start();
    disconnect(&m_client, nullptr, this, nullptr);
    connect(&m_client, &UpdateClient::finished, this, &frmUpd::answerReceived);
    // A failed request is no answer: the user is asked to retry.
    connect(&m_client, &UpdateClient::failed, this, &frmUpd::requestFailed);
    m_client.get(QUrl(core::sitePage(QStringLiteral("ig221.dat"))));
}

void frmUpd::answerReceived(const QString &body)
{
    // An answer that arrives after the wizard closed changes nothing.
    if (m_unloaded)
        return;
    m_answer = body;
    lblStatus->setText(QStringLiteral("Connected successfully, retrieving data..."));
    setBarWidth(m_barWidth + 500);
    Timer1.stop();
    // Exactly "yes": another case or a line break is no answer.
    if (m_answer == QLatin1String("yes")) {
        Timer1.start();
        disconnect(&m_client, nullptr, this, nullptr);
        connect(&m_client, &UpdateClient::finished, this, &frmUpd::addressReceived);
        connect(&m_client, &UpdateClient::failed, this, &frmUpd::requestFailed);
        m_client.get(QUrl(core::sitePage(QStringLiteral("ig221dp.dat"))));
        return;
    }
    lblStatus->setText(QStringLiteral("Downloading data..."));
    Timer2.start();
    m_resultPage = 2;
}

void frmUpd::addressReceived(const QString &body)
{
    if (m_unloaded)
        return;
    m_downloadPage = body.trimmed();
    lblStatus->setText(QStringLiteral("Connected successfully, retrieving data..."));
    setBarWidth(m_barWidth + 500);
    Timer1.stop();
    Timer2.start();
    m_resultPage = 3;
}

void frmUpd::Timer2_Timer()
{
    if (m_barWidth <= ProgressWidth) {
        setBarWidth(m_barWidth + 430);
        lblStatus->setText(QStringLiteral("Completing Transfer..."));
        return;
    }
    Timer2.stop();
    lblStatus->setText(QStringLiteral("Completed Downloading."));
    lblStatus->repaint();
    showPage(m_resultPage);
}

void frmUpd::requestFailed()
{
    if (!m_unloaded)
        Timer1_Timer();
}

void frmUpd::keyPressEvent(QKeyEvent *event)
{
    // Escape while checking asks first, as Cancel does.
    if (event->key() == Qt::Key_Escape && visiblePage() == 1) {
        cmdCancel_Click(1);
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmUpd::Timer1_Timer()
{
    m_client.cancel();
    Timer1.stop();
    if (m_desktop.msgBox(QStringLiteral("A connection could not be established to the server. "
                                        "Retry?"),
                         platform::Icon::Question, platform::Buttons::YesNo,
                         QStringLiteral("Connection Failed")) == platform::Answer::Yes) {
        Timer1.start();
        setBarWidth(BarStart);
        startCheck();
        return;
    }
    m_client.cancel();
    Timer1.stop();
    reject();
}

void frmUpd::openDownloadPage()
{
    // The address comes from the network: only a web page is opened.
    const QUrl address(m_downloadPage, QUrl::StrictMode);
    if (!isWebAddress(address)) {
        m_desktop.msgBox(QStringLiteral("The web site did not give a valid address for the "
                                        "download page, so no web-browser was launched. Please "
                                        "go to the Imagrove website to retrieve the update."),
                         platform::Icon::Exclamation, platform::Buttons::Ok,
                         QStringLiteral("Imagrove Update"));
        return;
    }
    // Encoded: no space, control or look-alike character reaches the opener.
    m_desktop.shellOpen(address.toString(QUrl::FullyEncoded), m_programFolder);
    showPage(4);
}

void frmUpd::stopAll()
{
    m_client.cancel();
    Timer1.stop();
    Timer2.stop();
}

void frmUpd::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void frmUpd::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_secondary.release();
    Timer1.stop();
    Timer2.stop();
    m_client.cancel();
}

} // namespace extras
