// A self-signed certificate for the stand-in service's HTTPS, made with OpenSSL.

#include "tools/catalogue-service/CatalogueService.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <stdexcept>

namespace elsetry::service {

namespace {

template <class T, void (*Free)(T*)>
struct TOpenSslDeleter {
    void operator()(T* Object) const { Free(Object); }
};

using TKey = std::unique_ptr<EVP_PKEY, TOpenSslDeleter<EVP_PKEY, EVP_PKEY_free>>;
using TCertificate = std::unique_ptr<X509, TOpenSslDeleter<X509, X509_free>>;
using TExtension = std::unique_ptr<X509_EXTENSION, TOpenSslDeleter<X509_EXTENSION, X509_EXTENSION_free>>;

struct TFileCloser {
    void operator()(std::FILE* File) const { std::fclose(File); }
};

void Require(bool Condition, const char* What)
{
    if (!Condition)
        throw std::runtime_error(std::string("Cannot make the test certificate: ") + What);
}

void AddExtension(X509* Certificate, int Nid, const char* Value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, Certificate, Certificate, nullptr, nullptr, 0);
    const TExtension extension(X509V3_EXT_conf_nid(nullptr, &context, Nid, Value));
    Require(extension != nullptr && X509_add_ext(Certificate, extension.get(), -1) == 1, "extension");
}

TCertificate SignedCertificate(EVP_PKEY* Key)
{
    TCertificate certificate(X509_new());
    Require(certificate != nullptr, "X509_new");
    X509* cert = certificate.get();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 7L * 24 * 3600);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                               -1, 0);
    X509_set_issuer_name(cert, name);
    X509_set_pubkey(cert, Key);
    AddExtension(cert, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    Require(X509_sign(cert, Key, EVP_sha256()) > 0, "X509_sign");
    return certificate;
}

std::unique_ptr<std::FILE, TFileCloser> OpenForWriting(const std::string& Path)
{
    std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(Path.c_str(), "wb"));
    Require(file != nullptr, Path.c_str());
    return file;
}

} // namespace

void MakeTestCertificate(const std::string& CertificateFile, const std::string& KeyFile)
{
    const TKey key(EVP_EC_gen("P-256"));
    Require(key != nullptr, "EVP_EC_gen");
    const TCertificate certificate = SignedCertificate(key.get());
    Require(PEM_write_X509(OpenForWriting(CertificateFile).get(), certificate.get()) == 1, "PEM_write_X509");
    Require(PEM_write_PrivateKey(OpenForWriting(KeyFile).get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1,
            "PEM_write_PrivateKey");
}

} // namespace elsetry::service
