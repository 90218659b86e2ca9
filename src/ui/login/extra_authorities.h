#pragma once
// The trust the login window's browser gives a site: the system's authorities and, beside
// them, those of the settings' extra bundle (ca_file), as the service client's requests do.

#include <QList>
#include <QSslCertificate>
#include <QString>

namespace zarvex {

// True when `chain` (the site's certificate first) is valid for `host` once the authorities of
// the PEM file `ca_file` are trusted too. False without a file, without a chain, or when the
// file holds no certificate.
bool trusted_with_extra_authorities(const QList<QSslCertificate>& chain, const QString& host,
                                    const QString& ca_file);

}  // namespace zarvex
