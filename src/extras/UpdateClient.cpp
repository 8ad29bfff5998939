#include "UpdateClient.h"

#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace extras {

bool isWebAddress(const QUrl &address)
{
    return address.isValid() && !address.host().isEmpty() &&
           (address.scheme() == QLatin1String("http") ||
            address.scheme() == QLatin1String("https"));
}

bool SystemReachability::online() const
{
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    const auto reachability = QNetworkInformation::instance()->reachability();
    return reachability != QNetworkInformation::Reachability::Disconnected &&
           reachability != QNetworkInformation::Reachability::Local;
}

UpdateClient::UpdateClient(QObject *parent) : QObject(parent)
{
    m_network.setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
    m_deadline.setSingleShot(true);
    m_deadline.setInterval(TimeLimitMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_reply) {
            m_refused = true;
            m_reply->abort();
        }
    });
}

UpdateClient::~UpdateClient()
{
    cancel();
}

void UpdateClient::get(const QUrl &address)
{
    cancel();
    m_body.clear();
    m_refused = false;
    if (!isWebAddress(address)) {
        // Reported after the caller has gone on, as a network answer would be.
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT failed(); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(address);
    request.setMaximumRedirectsAllowed(5);
    m_reply = m_network.get(request);
    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::readyRead, this, &UpdateClient::readSome);
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl &target) {
        if (isWebAddress(target)) {
            Q_EMIT reply->redirectAllowed();
        } else {
            m_refused = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, &UpdateClient::done);
    m_deadline.start();
}

void UpdateClient::cancel()
{
    m_deadline.stop();
    if (QNetworkReply *reply = m_reply) {
        m_reply.clear();
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void UpdateClient::readSome()
{
    if (!m_reply)
        return;
    m_body += m_reply->read(BodyLimit + 1 - m_body.size());
    if (m_body.size() > BodyLimit) {
        m_refused = true;
        m_reply->abort();
    }
}

void UpdateClient::done()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    readSome();
    m_deadline.stop();
    m_reply.clear();
    reply->deleteLater();
    // An error page is no answer.
    if (m_refused || reply->error() != QNetworkReply::NoError)
        Q_EMIT failed();
    else
        Q_EMIT finished(QString::fromUtf8(m_body));
}

} // namespace extras
