#include "engines/self_signed_certificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>

namespace tarvo::test {

namespace {

struct OpenSslFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
  void operator()(X509* certificate) const { X509_free(certificate); }
  void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
  void operator()(BIO* bio) const { BIO_free(bio); }
};

std::string TextOf(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

void Check(bool ok, const char* what) {
  if (!ok) {
    throw std::runtime_error(std::string("test certificate: cannot ") + what);
  }
}

}  // namespace

SelfSignedCertificate SelfSignedCertificate::Make() {
  std::unique_ptr<EVP_PKEY, OpenSslFree> key(EVP_EC_gen("P-256"));
  std::unique_ptr<X509, OpenSslFree> certificate(X509_new());
  Check(key != nullptr && certificate != nullptr, "make the key");
  X509_set_version(certificate.get(), 2);  // version 3, for the extension
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -60);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 86400);
  X509_set_pubkey(certificate.get(), key.get());
  X509_NAME* name = X509_get_subject_name(certificate.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1,
                             0);
  X509_set_issuer_name(certificate.get(), name);
  std::unique_ptr<X509_EXTENSION, OpenSslFree> alt_name(
      X509V3_EXT_conf_nid(nullptr, nullptr, NID_subject_alt_name, "IP:127.0.0.1"));
  Check(alt_name != nullptr && X509_add_ext(certificate.get(), alt_name.get(), -1) == 1, "name the address");
  Check(X509_sign(certificate.get(), key.get(), EVP_sha256()) > 0, "sign");

  std::unique_ptr<BIO, OpenSslFree> certificate_text(BIO_new(BIO_s_mem()));
  std::unique_ptr<BIO, OpenSslFree> key_text(BIO_new(BIO_s_mem()));
  Check(certificate_text != nullptr && key_text != nullptr, "make buffers");
  Check(PEM_write_bio_X509(certificate_text.get(), certificate.get()) == 1 &&
            PEM_write_bio_PrivateKey(key_text.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1,
        "write PEM");
  return {TextOf(certificate_text.get()), TextOf(key_text.get())};
}

}  // namespace tarvo::test
