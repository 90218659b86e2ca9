#include "ui/login/extra_authorities.h"

#include <QSslConfiguration>
#include <QSslError>

namespace zarvex {

bool trusted_with_extra_authorities(const QList<QSslCertificate>& chain, const QString& host,
                                    const QString& ca_file) {
  if (ca_file.isEmpty() || chain.isEmpty()) return false;
  const QList<QSslCertificate> extra = QSslCertificate::fromPath(ca_file, QSsl::Pem);
  if (extra.isEmpty()) return false;
  // QSslCertificate::verify trusts the default configuration's authorities; they are widened
  // for this one check only.
  const QSslConfiguration saved = QSslConfiguration::defaultConfiguration();
  QSslConfiguration widened = saved;
  widened.addCaCertificates(extra);
  QSslConfiguration::setDefaultConfiguration(widened);
  const QList<QSslError> errors = QSslCertificate::verify(chain, host);
  QSslConfiguration::setDefaultConfiguration(saved);
  return errors.isEmpty();
}

}  // namespace zarvex
