#include "platform/qt/HttpClientQt.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "text/Cp1255.h"

namespace korvex {
namespace {

constexpr int kDefaultTimeoutSeconds = 60;
// A day; beyond that the millisecond count would not fit an int.
constexpr int kMaxTimeoutSeconds = 86400;

std::string toCp1255(const QString& text) { return cp1255::fromUtf8(text.toUtf8().toStdString()); }

HttpResult failure(int number, std::string description) {
    HttpResult result;
    result.errorNumber = number;
    result.errorDescription = std::move(description);
    return result;
}

bool isConnectionError(QNetworkReply::NetworkError error) {
    switch (error) {
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::RemoteHostClosedError:
        case QNetworkReply::HostNotFoundError:
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::UnknownNetworkError:
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyConnectionClosedError:
        case QNetworkReply::ProxyNotFoundError:
        case QNetworkReply::SslHandshakeFailedError: return true;
        default: return false;
    }
}

}  // namespace

HttpClientQt::HttpClientQt() = default;
HttpClientQt::~HttpClientQt() = default;

HttpResult HttpClientQt::get(const std::string& url, int timeoutSeconds) {
    const int seconds =
        timeoutSeconds < 1 ? kDefaultTimeoutSeconds : std::min(timeoutSeconds, kMaxTimeoutSeconds);
    const int milliseconds = seconds * 1000;

    const QUrl target(QString::fromStdString(cp1255::toUtf8(url)));
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        return failure(kHttpErrorBadUrl, "Not a valid web address: " + url);
    }

    QNetworkRequest request(target);
    // Inactivity limit from Qt, and our own deadline below for the whole transfer, so a server
    // that trickles bytes cannot hold the program either.
    request.setTransferTimeout(milliseconds);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);

    QNetworkReply* reply = manager_.get(request);
    bool timedOut = false;
    bool tooLarge = false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                     [&](qint64 received, qint64 total) {
                         if (received > kHttpMaxPageBytes || total > kHttpMaxPageBytes) {
                             tooLarge = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(milliseconds);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    const QNetworkReply::NetworkError error = reply->error();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const QString errorText = reply->errorString();
    const QByteArray body = tooLarge || timedOut ? QByteArray() : reply->readAll();
    const QByteArray contentType = reply->rawHeader("Content-Type");
    reply->deleteLater();

    if (tooLarge || body.size() > kHttpMaxPageBytes) {
        return failure(kHttpErrorTooLarge,
                       "The page is larger than " + std::to_string(kHttpMaxPageBytes) + " bytes");
    }
    if (timedOut || error == QNetworkReply::TimeoutError ||
        error == QNetworkReply::OperationCanceledError) {
        return failure(kHttpErrorTimeout,
                       "The request timed out after " + std::to_string(seconds) + " seconds");
    }
    if (status >= 400) {
        return failure(kHttpErrorStatus,
                       "The server answered HTTP " + std::to_string(status) +
                           (reason.isEmpty() ? std::string() : " " + toCp1255(reason)));
    }
    if (error != QNetworkReply::NoError) {
        return failure(isConnectionError(error) ? kHttpErrorConnect : kHttpErrorOther,
                       toCp1255(errorText));
    }

    HttpResult result;
    result.ok = true;
    result.page = decodeWebPage(
        std::string_view(body.constData(), static_cast<std::size_t>(body.size())),
        std::string_view(contentType.constData(), static_cast<std::size_t>(contentType.size())));
    return result;
}

}  // namespace korvex
