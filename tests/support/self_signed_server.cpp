#include "support/self_signed_server.h"

#include <httplib.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <chrono>
#include <stdexcept>

namespace pagelift::test {

namespace {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

// A certificate for 127.0.0.1, valid for an hour, issued by itself.
Certificate SelfSigned(EVP_PKEY* key) {
  Certificate certificate(X509_new(), X509_free);
  X509* c = certificate.get();
  X509_set_version(c, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(c), 1);
  X509_gmtime_adj(X509_getm_notBefore(c), 0);
  X509_gmtime_adj(X509_getm_notAfter(c), 3600);
  X509_set_pubkey(c, key);
  X509_NAME* name = X509_get_subject_name(c);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
  X509_set_issuer_name(c, name);
  if (X509_sign(c, key, EVP_sha256()) == 0) throw std::runtime_error("cannot sign");
  return certificate;
}

}  // namespace

SelfSignedServer::SelfSignedServer() {
  const Key key(EVP_EC_gen("P-256"), EVP_PKEY_free);
  if (!key) throw std::runtime_error("cannot make a key");
  const Certificate certificate = SelfSigned(key.get());
  // The server holds references of its own to both.
  server_ = std::make_unique<httplib::SSLServer>(certificate.get(), key.get());
  server_->Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<p>trusted</p>", "text/html");
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

SelfSignedServer::~SelfSignedServer() {
  server_->stop();
  thread_.join();
}

}  // namespace pagelift::test
