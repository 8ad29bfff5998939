#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

namespace extras {

// An http or https address with a host: the only kind opened or followed.
bool isWebAddress(const QUrl &address);

// Whether the machine can reach the internet.
class Reachability
{
public:
    virtual ~Reachability() = default;
    virtual bool online() const = 0;
};

// The system's own account of it; online when the system cannot tell.
class SystemReachability final : public Reachability
{
public:
    bool online() const override;
};

// Fetches one small text resource at a time over HTTP(S), without blocking.
// A redirect is followed only to another http or https address, and a body
// is read only up to a small limit: what comes from the network is not
// trusted to be small or well-behaved.
class UpdateClient final : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 BodyLimit = 4096;
    // A request that has not ended by then, however slowly data still
    // comes, has failed.
    static constexpr int TimeLimitMs = 30000;

    explicit UpdateClient(QObject *parent = nullptr);
    ~UpdateClient() override;

    // Starts a request, cancelling one that runs.
    void get(const QUrl &address);
    // Cancels the running request; it reports nothing.
    void cancel();
    bool running() const { return !m_reply.isNull(); }
    void setTimeLimitMs(int milliseconds) { m_deadline.setInterval(milliseconds); }

Q_SIGNALS:
    // The body as text, of an answer that came whole.
    void finished(const QString &body);
    // No answer: the request failed (no connection, refused, an error
    // status such as 404), or the body was too large or was refused.
    void failed();

private:
    void readSome();
    void done();

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    bool m_refused = false;
    QTimer m_deadline;
};

} // namespace extras
