#pragma once
// Which invalid server certificates the client lets pass: those of the service's host
// and of the hosts of [SYSTEM] TRUSTHOSTS (deployments with a self-signed or expired
// certificate). Every other host gets the engine's certificate error page. UI thread.

#include <QString>

class QWebEngineCertificateError;

namespace engine {

// True for the service's host and for the hosts listed, comma-separated, in
// [SYSTEM] TRUSTHOSTS of config.ini or the administrator's file; a port is ignored.
bool TrustedDespiteCertificate(const QString& host);

// A page's certificate error: accepted for a trusted host (logged once per host and
// kind of error), else left to the engine, which refuses the certificate.
void AnswerCertificateError(QWebEngineCertificateError error);

} // namespace engine
