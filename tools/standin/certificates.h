#pragma once
// The stand-in's TLS identity: a certificate authority of its own and a server certificate
// signed by it for 127.0.0.1, localhost and the listening address. Clients trust the stand-in
// by adding the authority's PEM file (ca.pem) to their trusted set.

#include <filesystem>
#include <string>

namespace zarvex::standin {

struct CertificateFiles {
  std::filesystem::path ca_cert;      // ca.pem
  std::filesystem::path server_cert;  // server.pem
  std::filesystem::path server_key;   // server.key
};

// Writes the files into dir (which must exist). An authority already in dir (ca.pem with its
// ca.key, valid for at least another day) is kept, so a folder given again keeps its trust;
// the server certificate is always made anew. On failure returns false and sets error.
bool make_certificates(const std::filesystem::path& dir, const std::string& host,
                       CertificateFiles& files, std::string& error);

}  // namespace zarvex::standin
