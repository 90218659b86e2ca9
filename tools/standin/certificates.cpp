#include "certificates.h"

#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <ctime>
#include <memory>

#include "file_write.h"

namespace zarvex::standin {

namespace {

struct KeyFree {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct CertFree {
  void operator()(X509* c) const { X509_free(c); }
};
struct BioFree {
  void operator()(BIO* b) const { BIO_free(b); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Cert = std::unique_ptr<X509, CertFree>;
using Bio = std::unique_ptr<BIO, BioFree>;

std::string openssl_error(const char* what) {
  std::string text = what;
  const unsigned long code = ERR_get_error();
  if (code != 0) {
    char buf[256];
    ERR_error_string_n(code, buf, sizeof buf);
    text += ": ";
    text += buf;
  }
  ERR_clear_error();
  return text;
}

bool add_extension(X509* cert, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  if (!ext) return false;
  const bool ok = X509_add_ext(cert, ext, -1) == 1;
  X509_EXTENSION_free(ext);
  return ok;
}

// An unsigned certificate for key, named common_name, issued by issuer (by itself when issuer
// is null), valid from an hour ago for the given number of days. The caller signs it.
Cert make_cert(EVP_PKEY* key, const char* common_name, X509* issuer, long days) {
  Cert cert(X509_new());
  if (!cert) return nullptr;
  X509_set_version(cert.get(), 2);
  unsigned char serial_bytes[16];
  if (RAND_bytes(serial_bytes, sizeof serial_bytes) != 1) return nullptr;
  serial_bytes[0] &= 0x7f;
  BIGNUM* serial = BN_bin2bn(serial_bytes, sizeof serial_bytes, nullptr);
  if (!serial) return nullptr;
  BN_to_ASN1_INTEGER(serial, X509_get_serialNumber(cert.get()));
  BN_free(serial);
  X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert.get()), days * 24 * 3600);
  X509_set_pubkey(cert.get(), key);
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("Zarvex stand-in"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
  X509_set_issuer_name(cert.get(), issuer ? X509_get_subject_name(issuer) : name);
  return cert;
}

std::string pem_of_cert(X509* cert) {
  Bio bio(BIO_new(BIO_s_mem()));
  if (!bio || PEM_write_bio_X509(bio.get(), cert) != 1) return {};
  char* data = nullptr;
  const long n = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<std::size_t>(n));
}

std::string pem_of_key(EVP_PKEY* key) {
  Bio bio(BIO_new(BIO_s_mem()));
  if (!bio ||
      PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1) {
    return {};
  }
  char* data = nullptr;
  const long n = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<std::size_t>(n));
}

// The authority kept in dir, when both its files load, belong together and stay valid for
// at least a day.
bool load_authority(const std::filesystem::path& dir, Cert& cert, Key& key) {
  std::FILE* f = std::fopen((dir / "ca.pem").c_str(), "rb");
  if (!f) return false;
  cert.reset(PEM_read_X509(f, nullptr, nullptr, nullptr));
  std::fclose(f);
  f = std::fopen((dir / "ca.key").c_str(), "rb");
  if (!f) return false;
  key.reset(PEM_read_PrivateKey(f, nullptr, nullptr, nullptr));
  std::fclose(f);
  ERR_clear_error();
  if (!cert || !key || X509_check_private_key(cert.get(), key.get()) != 1) return false;
  std::time_t tomorrow = std::time(nullptr) + 24 * 3600;
  return X509_cmp_time(X509_get0_notAfter(cert.get()), &tomorrow) > 0 &&
         X509_check_ca(cert.get()) == 1;
}

std::string subject_alt_names(const std::string& host) {
  std::string names = "IP:127.0.0.1,DNS:localhost";
  unsigned char buf[16];
  if (host != "127.0.0.1" && host != "localhost") {
    if (inet_pton(AF_INET, host.c_str(), buf) == 1 || inet_pton(AF_INET6, host.c_str(), buf) == 1) {
      names += ",IP:" + host;
    } else if (!host.empty()) {
      names += ",DNS:" + host;
    }
  }
  return names;
}

}  // namespace

bool make_certificates(const std::filesystem::path& dir, const std::string& host,
                       CertificateFiles& files, std::string& error) {
  files.ca_cert = dir / "ca.pem";
  files.server_cert = dir / "server.pem";
  files.server_key = dir / "server.key";

  Cert ca;
  Key ca_key;
  if (!load_authority(dir, ca, ca_key)) {
    ca_key.reset(EVP_EC_gen("P-256"));
    if (!ca_key) {
      error = openssl_error("cannot make a key");
      return false;
    }
    ca = make_cert(ca_key.get(), "Zarvex stand-in authority", nullptr, 3650);
    if (!ca || !add_extension(ca.get(), ca.get(), NID_basic_constraints, "critical,CA:TRUE") ||
        !add_extension(ca.get(), ca.get(), NID_key_usage, "critical,keyCertSign,cRLSign") ||
        !add_extension(ca.get(), ca.get(), NID_subject_key_identifier, "hash") ||
        X509_sign(ca.get(), ca_key.get(), EVP_sha256()) == 0) {
      error = openssl_error("cannot make the authority's certificate");
      return false;
    }
    // Key first: a ca.pem is only ever taken together with its key.
    if (!write_file(dir / "ca.key", pem_of_key(ca_key.get()), true, error) ||
        !write_file(files.ca_cert, pem_of_cert(ca.get()), false, error)) {
      return false;
    }
  }

  Key key(EVP_EC_gen("P-256"));
  if (!key) {
    error = openssl_error("cannot make a key");
    return false;
  }
  Cert cert = make_cert(key.get(), "localhost", ca.get(), 30);
  if (!cert || !add_extension(cert.get(), ca.get(), NID_basic_constraints, "critical,CA:FALSE") ||
      !add_extension(cert.get(), ca.get(), NID_key_usage, "critical,digitalSignature") ||
      !add_extension(cert.get(), ca.get(), NID_ext_key_usage, "serverAuth") ||
      !add_extension(cert.get(), ca.get(), NID_subject_key_identifier, "hash") ||
      !add_extension(cert.get(), ca.get(), NID_authority_key_identifier, "keyid:always") ||
      !add_extension(cert.get(), ca.get(), NID_subject_alt_name, subject_alt_names(host)) ||
      X509_sign(cert.get(), ca_key.get(), EVP_sha256()) == 0) {
    error = openssl_error("cannot make the server certificate");
    return false;
  }
  return write_file(files.server_key, pem_of_key(key.get()), true, error) &&
         write_file(files.server_cert, pem_of_cert(cert.get()), false, error);
}

}  // namespace zarvex::standin
