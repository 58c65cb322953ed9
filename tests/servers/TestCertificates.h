#pragma once
// Certificates for TLS test servers, made at test time with the openssl command in a fixture's
// folder: a CA of its own (ca.pem, ca.key) and certificates it signs (NAME.pem, NAME.key).
#include "ServerProcess.h"

#include <QString>
#include <QStringList>

namespace testservers {

// Runs the openssl command in folder; throws std::runtime_error with its output when it fails.
void Openssl(const TempFolder& folder, const QStringList& arguments);
// ca.pem and ca.key: a certificate authority named commonName.
void MakeCertificateAuthority(const TempFolder& folder, const QString& commonName);
// name.key and name.pem: a certificate for subjectAltName altNames ("IP:127.0.0.1,DNS:localhost"),
// signed by ca (ca.key, ca.pem), or self-signed when ca is empty.
void MakeCertificate(const TempFolder& folder, const QString& name, const QString& altNames, const QString& ca);

} // namespace testservers
