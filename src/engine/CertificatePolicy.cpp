#include "engine/CertificatePolicy.h"

#include <QLoggingCategory>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <QWebEngineCertificateError>
#include <algorithm>

#include "shared/Global.h"

Q_LOGGING_CATEGORY(lcCertificates, "quillmark.engine.certificates")

namespace engine {
namespace {

// "Host", "host:8443" or "[::1]" as the host part of an address gives it.
QString HostOf(const QString& entry)
{
    return QUrl(QStringLiteral("//") + entry.trimmed()).host();
}

} // namespace

bool TrustedDespiteCertificate(const QString& host)
{
    if (host.isEmpty())
        return false;
    const QStringList trusted =
        QStringList{ServiceHost()} +
        DeployedSetting("SYSTEM", "TRUSTHOSTS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    return std::any_of(trusted.begin(), trusted.end(),
                       [&](const QString& entry) { return HostOf(entry) == host; });
}

void AnswerCertificateError(QWebEngineCertificateError error)
{
    const QString host = error.url().host();
    if (!error.isOverridable() || !TrustedDespiteCertificate(host))
        return;
    static QSet<QString> logged;
    const QString kind = QStringLiteral("%1 %2").arg(host).arg(int(error.type()));
    if (!logged.contains(kind)) {
        logged.insert(kind);
        qCWarning(lcCertificates) << "accepting an invalid certificate of" << host << "-"
                                  << error.description();
    }
    error.acceptCertificate();
}

} // namespace engine
