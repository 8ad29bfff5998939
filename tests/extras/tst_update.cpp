#include "ComponentTest.h"
#include "extras/frmUpd.h"

#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using extras::frmUpd;
using platform::Answer;

namespace {

// A web site on 127.0.0.1: fixed bodies by path, a 404 for the rest, or
// silence (the connection is accepted and never answered).
class Site final : public QObject
{
public:
    QMap<QByteArray, QByteArray> bodies;
    bool silent = false;
    bool trickle = false;
    QList<QByteArray> asked;
    QList<QTcpSocket *> held;

    Site()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        });
        qputenv("IMAGROVE_SITE", address().toUtf8());
    }
    ~Site() override { qunsetenv("IMAGROVE_SITE"); }
    QString address() const
    {
        return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
    }

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        const QByteArray path = request.split(' ').value(1);
        asked << path;
        if (silent) {
            held << socket;
            return;
        }
        if (trickle) {
            // An answer that never ends: a byte every 50 ms.
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n");
            auto *drip = new QTimer(socket);
            connect(drip, &QTimer::timeout, socket, [socket] { socket->write("y"); });
            drip->start(50);
            return;
        }
        const bool found = bodies.contains(path);
        const QByteArray body = found ? bodies[path] : QByteArray("<html>Not Found</html>");
        socket->write((found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
                      QByteArray("\r\nContent-Type: text/plain\r\nContent-Length: ") +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
};

class Network final : public extras::Reachability
{
public:
    bool up = true;
    bool online() const override { return up; }
};

} // namespace

class tst_update : public ComponentTest
{
    Q_OBJECT

private:
    std::unique_ptr<Site> m_site;
    Network m_network;

    std::unique_ptr<frmUpd> wizard()
    {
        auto dialog = std::make_unique<frmUpd>(*m_state, *m_desktop, m_network,
                                               m_env->root() + QStringLiteral("/program"));
        dialog->Timer2.setInterval(1); // the animation, quickly
        dialog->show();
        return dialog;
    }

private Q_SLOTS:
    void init()
    {
        setUpComponentTest();
        m_site = std::make_unique<Site>();
        m_network.up = true;
    }
    void cleanup()
    {
        m_site.reset();
        QVERIFY2(tearDownComponentTest(), "a scripted answer was not used");
    }

    void yesOpensTheDownloadPage()
    {
        m_site->bodies["/ig221.dat"] = "yes";
        m_site->bodies["/ig221dp.dat"] = "https://www.imagrove.example/download.htm\r\n";
        auto dialog = wizard();
        QVERIFY(m_state->SecondaryWindowOpen);
        dialog->cmdFor[0]->click();
        QCOMPARE(dialog->visiblePage(), 1);
        QVERIFY(!dialog->cmdFor[1]->isEnabled() && dialog->cmdCancel[1]->isEnabled());
        QTRY_COMPARE(dialog->visiblePage(), 3);
        QCOMPARE(dialog->lblStatus->text(), QStringLiteral("Completed Downloading."));
        dialog->cmdFor[3]->click();
        QCOMPARE(m_desktop->shellOpened,
                 QStringList{QStringLiteral("https://www.imagrove.example/download.htm")});
        QCOMPARE(dialog->visiblePage(), 4);
        dialog->cmdFor[4]->click();
        QVERIFY(!m_state->SecondaryWindowOpen);
    }

    void anythingButYesIsNoUpdate_data()
    {
        QTest::addColumn<QByteArray>("body"); // empty: the file is not there (404)
        QTest::newRow("Yes") << QByteArray("Yes");
        QTest::newRow("yes and a line break") << QByteArray("yes\n");
        QTest::newRow("empty") << QByteArray("");
    }
    void anythingButYesIsNoUpdate()
    {
        QFETCH(QByteArray, body);
        m_site->bodies["/ig221.dat"] = body;
        auto dialog = wizard();
        dialog->cmdFor[0]->click();
        QTRY_COMPARE(dialog->visiblePage(), 2);
        QCOMPARE(m_site->asked, QList<QByteArray>{"/ig221.dat"});
        dialog->cmdBack[2]->click();
        QCOMPARE(dialog->visiblePage(), 0);
        QCOMPARE(dialog->barWidth(), 15);
    }

    void aFailedRequestIsNoAnswer()
    {
        // The file is not there (404): the retry prompt, not "No Update Available".
        auto dialog = wizard();
        m_desktop->answerMessage(Answer::No);
        dialog->cmdFor[0]->click();
        QTRY_COMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Connection Failed"));
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(dialog->visiblePage() != 2);
    }

    void escapeWhileCheckingAsksFirst()
    {
        m_site->silent = true;
        auto dialog = wizard();
        dialog->cmdFor[0]->click();
        m_desktop->answerMessage(Answer::Cancel);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QCOMPARE(m_desktop->messages.value(0).text,
                 QStringLiteral("Are you sure you wish to cancel?"));
        QCOMPARE(dialog->visiblePage(), 1);
        m_desktop->answerMessage(Answer::Ok);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->requestRunning());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }

    void anAddressThatIsNotAWebPageIsNotOpened_data()
    {
        QTest::addColumn<QByteArray>("address");
        QTest::newRow("file") << QByteArray("file:///etc/passwd");
        QTest::newRow("script") << QByteArray("javascript:alert(1)");
        QTest::newRow("program") << QByteArray("/usr/bin/xterm");
        QTest::newRow("empty") << QByteArray("");
    }
    void anAddressThatIsNotAWebPageIsNotOpened()
    {
        QFETCH(QByteArray, address);
        m_site->bodies["/ig221.dat"] = "yes";
        m_site->bodies["/ig221dp.dat"] = address;
        auto dialog = wizard();
        dialog->cmdFor[0]->click();
        QTRY_COMPARE(dialog->visiblePage(), 3);
        m_desktop->answerMessage(Answer::Ok);
        dialog->cmdFor[3]->click();
        QVERIFY(m_desktop->shellOpened.isEmpty());
        QCOMPARE(dialog->visiblePage(), 3);
    }

    void silentServerTripsTheWatchdog()
    {
        m_site->silent = true;
        auto dialog = wizard();
        dialog->Timer1.setInterval(200);
        m_desktop->answerMessage(Answer::Yes);
        m_desktop->answerMessage(Answer::No);
        dialog->cmdFor[0]->click();
        QTRY_COMPARE(m_desktop->messages.size(), 1);
        QCOMPARE(m_desktop->messages[0].caption, QStringLiteral("Connection Failed"));
        // Retried from the start, with the bar back at its first width.
        QCOMPARE(dialog->barWidth(), 15);
        QVERIFY(dialog->requestRunning());
        QTRY_COMPARE(m_desktop->messages.size(), 2);
        QVERIFY(!dialog->requestRunning() && !dialog->Timer1.isActive());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QTRY_COMPARE(m_site->asked.size(), 2);
    }

    void aRequestThatNeverEndsFails_data()
    {
        QTest::addColumn<bool>("trickle");
        QTest::newRow("no answer") << false;
        QTest::newRow("an answer that never ends") << true;
    }
    void aRequestThatNeverEndsFails()
    {
        QFETCH(bool, trickle);
        m_site->silent = !trickle;
        m_site->trickle = trickle;
        extras::UpdateClient client;
        client.setTimeLimitMs(400);
        QSignalSpy failed(&client, &extras::UpdateClient::failed);
        client.get(QUrl(m_site->address() + QStringLiteral("ig221.dat")));
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 3000);
        QVERIFY(!client.running());
    }

    void offlineAsksAndRequestsNothing()
    {
        m_network.up = false;
        auto dialog = wizard();
        m_desktop->answerMessage(Answer::Cancel);
        dialog->cmdFor[0]->click();
        QCOMPARE(m_desktop->messages.value(0).caption, QStringLiteral("No Connection"));
        QVERIFY(!dialog->requestRunning());
        QVERIFY(!dialog->isVisible());
        QTest::qWait(50);
        QVERIFY(m_site->asked.isEmpty());
    }

    void cancelWhileCheckingStopsEverything()
    {
        m_site->silent = true;
        auto dialog = wizard();
        dialog->cmdFor[0]->click();
        QTRY_COMPARE(m_site->asked.size(), 1);
        m_desktop->answerMessage(Answer::Ok);
        dialog->cmdCancel[1]->click();
        QCOMPARE(m_desktop->messages.value(0).text,
                 QStringLiteral("Are you sure you wish to cancel?"));
        QVERIFY(!dialog->requestRunning());
        QVERIFY(!dialog->Timer1.isActive() && !dialog->Timer2.isActive());
        QVERIFY(!dialog->isVisible());
    }
};

QTEST_MAIN(tst_update)
#include "tst_update.moc"
