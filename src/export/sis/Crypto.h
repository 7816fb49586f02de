#pragma once

// The OpenSSL boundary: hashing, keys, certificates and signatures. OpenSSL handles live in RAII
// owners here and its error queue is turned into Error messages here; nothing else includes
// OpenSSL headers.

#include "export/sis/SisTypes.h"

#include <array>
#include <expected>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace velmora::sis {

class Sha1
{
public:
    Sha1();
    ~Sha1();
    Sha1(const Sha1 &) = delete;
    Sha1 &operator=(const Sha1 &) = delete;
    void update(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, 20> finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

std::array<std::uint8_t, 20> sha1(std::span<const std::uint8_t> bytes);

enum class KeyAlgorithm { Rsa, Dsa };

class PrivateKey
{
public:
    PrivateKey(PrivateKey &&) noexcept;
    PrivateKey &operator=(PrivateKey &&) noexcept;
    ~PrivateKey();
    KeyAlgorithm algorithm() const { return m_algorithm; }
    int bits() const;

private:
    friend std::expected<PrivateKey, Error> loadPrivateKey(std::span<const std::uint8_t>,
                                                           std::string_view);
    friend std::expected<Signature, Error> signSha1(const PrivateKey &,
                                                    std::span<const std::uint8_t>);
    friend std::expected<void, Error> checkKeyMatchesCertificate(const PrivateKey &,
                                                                 std::span<const std::uint8_t>);
    struct Handle;
    explicit PrivateKey(std::unique_ptr<Handle> handle, KeyAlgorithm algorithm);
    std::unique_ptr<Handle> m_handle;
    KeyAlgorithm m_algorithm;
};

// A PEM key (PKCS#1 RSA or DSA, plain or encrypted the old way with Proc-Type/DEK-Info, or
// PKCS#8, plain or encrypted), or else an unencrypted DER key. The password is passed to OpenSSL
// as UTF-8 and never appears in a message.
std::expected<PrivateKey, Error> loadPrivateKey(std::span<const std::uint8_t> keyFile,
                                                std::string_view password);

// The certificates of a .cer file as one blob of DER certificates in file order: every PEM
// certificate when the file is PEM, otherwise the file itself, which must be DER.
std::expected<Bytes, Error> loadCertificateFile(std::span<const std::uint8_t> certificateFile);

// Splits a blob of back-to-back DER certificates.
std::expected<std::vector<Bytes>, Error> splitCertificates(std::span<const std::uint8_t> der);

struct CertificateInfo
{
    std::string subject;
    std::string issuer;
    std::string serial;
    std::string notBefore;
    std::string notAfter;
    std::string keyAlgorithm; // "RSA", "DSA" or OpenSSL's name
    int keyBits = 0;
    bool selfSigned = false; // issued by itself and its signature verifies with its own key
};

std::expected<CertificateInfo, Error> describeCertificate(std::span<const std::uint8_t> der);

std::expected<void, Error> checkKeyMatchesCertificate(const PrivateKey &key,
                                                      std::span<const std::uint8_t> certificateDer);

// SHA-1 signature of `message`: PKCS#1 v1.5 for RSA, DER SEQUENCE{r, s} for DSA, with the OID
// text that names the algorithm.
std::expected<Signature, Error> signSha1(const PrivateKey &key,
                                         std::span<const std::uint8_t> message);

// Checks `signature` over `message` with the public key of the first certificate of
// `certificatesDer`. The error says why it does not hold.
std::expected<void, Error> verifySignature(std::span<const std::uint8_t> certificatesDer,
                                           const Signature &signature,
                                           std::span<const std::uint8_t> message);

} // namespace velmora::sis
