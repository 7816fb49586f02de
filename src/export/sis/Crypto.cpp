#include "export/sis/Crypto.h"

#include "export/sis/Text.h"
#include "platform/Try.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace velmora::sis {

namespace {

template<typename T, void (*Free)(T *)>
struct Deleter
{
    void operator()(T *p) const { Free(p); }
};

void freeBio(BIO *bio)
{
    BIO_free(bio);
}

using BioPtr = std::unique_ptr<BIO, Deleter<BIO, freeBio>>;
using X509Ptr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using PkeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using MdCtxPtr = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX, EVP_MD_CTX_free>>;
using BignumPtr = std::unique_ptr<BIGNUM, Deleter<BIGNUM, BN_free>>;

// The most recent OpenSSL error as text, and an empty queue afterwards.
std::string openSslReason()
{
    unsigned long code = 0;
    unsigned long last = 0;
    while ((code = ERR_get_error()) != 0)
        last = code;
    if (last == 0)
        return {};
    char buffer[256];
    ERR_error_string_n(last, buffer, sizeof buffer);
    return std::string(" (") + buffer + ")";
}

std::unexpected<Error> fail(const std::string &message, bool withReason = true)
{
    return std::unexpected(Error{message + (withReason ? openSslReason() : std::string())});
}

BioPtr memoryBio(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return nullptr;
    return BioPtr(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
}

bool looksLikePem(std::span<const std::uint8_t> bytes)
{
    static constexpr std::string_view kMarker = "-----BEGIN ";
    const std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    return text.find(kMarker) != std::string_view::npos;
}

std::string bioText(BIO *bio)
{
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

std::string nameText(const X509_NAME *name)
{
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253) < 0)
        return {};
    return bioText(bio.get());
}

std::string timeText(const ASN1_TIME *time)
{
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || ASN1_TIME_print(bio.get(), time) != 1)
        return {};
    return bioText(bio.get());
}

std::expected<X509Ptr, Error> parseCertificate(const unsigned char *&cursor, long size)
{
    X509Ptr certificate(d2i_X509(nullptr, &cursor, size));
    if (!certificate)
        return fail("not a DER X.509 certificate");
    return certificate;
}

struct PasswordSource
{
    std::string_view password;
};

int passwordCallback(char *buffer, int size, int /*rwflag*/, void *userdata)
{
    const auto *source = static_cast<const PasswordSource *>(userdata);
    if (source->password.empty() || source->password.size() > static_cast<std::size_t>(size))
        return -1;
    std::memcpy(buffer, source->password.data(), source->password.size());
    return static_cast<int>(source->password.size());
}

// The size of the DER SEQUENCE at the start of `bytes` (header included), or nothing when they do
// not start with one whose length fits.
std::optional<std::size_t> derSequenceSize(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 2 || bytes[0] != 0x30)
        return std::nullopt;
    std::size_t header = 2;
    std::size_t length = bytes[1];
    if (length & 0x80) {
        const std::size_t lengthBytes = length & 0x7F;
        if (lengthBytes == 0 || lengthBytes > 2 || bytes.size() < 2 + lengthBytes)
            return std::nullopt;
        length = 0;
        for (std::size_t i = 0; i < lengthBytes; ++i)
            length = length << 8 | bytes[2 + i];
        header += lengthBytes;
    }
    if (length > bytes.size() - header)
        return std::nullopt;
    return header + length;
}

// The DER part of a DSA signature blob. The SDK's signer sizes the blob for the largest r and s
// and leaves what the encoding does not use as zero bytes; the device reads the SEQUENCE and
// ignores them, but OpenSSL refuses anything after it. Other bytes there mean a damaged signature.
std::expected<std::span<const std::uint8_t>, Error>
dsaSignatureDer(std::span<const std::uint8_t> blob)
{
    const auto size = derSequenceSize(blob);
    if (!size)
        return blob; // OpenSSL says what is wrong with it
    const auto tail = blob.subspan(*size);
    if (std::any_of(tail.begin(), tail.end(), [](std::uint8_t b) { return b != 0; }))
        return std::unexpected(Error{std::to_string(tail.size()) +
                                     " bytes after the DSA signature's DER SEQUENCE are not all "
                                     "zero"});
    return blob.first(*size);
}

} // namespace

struct Sha1::State
{
    MdCtxPtr context{EVP_MD_CTX_new()};
    bool ok = false;
};

Sha1::Sha1()
    : m_state(std::make_unique<State>())
{
    m_state->ok =
        m_state->context && EVP_DigestInit_ex(m_state->context.get(), EVP_sha1(), nullptr) == 1;
}

Sha1::~Sha1() = default;

void Sha1::update(std::span<const std::uint8_t> bytes)
{
    if (m_state->ok && !bytes.empty())
        m_state->ok = EVP_DigestUpdate(m_state->context.get(), bytes.data(), bytes.size()) == 1;
}

std::array<std::uint8_t, 20> Sha1::finish()
{
    std::array<std::uint8_t, 20> digest{};
    unsigned int size = 0;
    // A failing SHA-1 means the library itself is broken; an all-zero digest then fails every
    // comparison instead of passing one.
    if (!m_state->ok || EVP_DigestFinal_ex(m_state->context.get(), digest.data(), &size) != 1 ||
        size != digest.size())
        digest.fill(0);
    m_state->ok = false;
    return digest;
}

std::array<std::uint8_t, 20> sha1(std::span<const std::uint8_t> bytes)
{
    Sha1 hash;
    hash.update(bytes);
    return hash.finish();
}

struct PrivateKey::Handle
{
    PkeyPtr key;
};

PrivateKey::PrivateKey(std::unique_ptr<Handle> handle, KeyAlgorithm algorithm)
    : m_handle(std::move(handle))
    , m_algorithm(algorithm)
{}

PrivateKey::PrivateKey(PrivateKey &&) noexcept = default;
PrivateKey &PrivateKey::operator=(PrivateKey &&) noexcept = default;
PrivateKey::~PrivateKey() = default;

int PrivateKey::bits() const
{
    return EVP_PKEY_get_bits(m_handle->key.get());
}

std::expected<PrivateKey, Error> loadPrivateKey(std::span<const std::uint8_t> keyFile,
                                                std::string_view password)
{
    ERR_clear_error();
    PkeyPtr key;
    if (looksLikePem(keyFile)) {
        BioPtr bio = memoryBio(keyFile);
        if (!bio)
            return fail("the key file is too large", false);
        PasswordSource source{password};
        key.reset(PEM_read_bio_PrivateKey(bio.get(), nullptr, passwordCallback, &source));
        if (!key) {
            const std::string reason = openSslReason();
            const std::string_view text(reinterpret_cast<const char *>(keyFile.data()),
                                        keyFile.size());
            const bool encrypted = text.find("ENCRYPTED") != std::string_view::npos;
            if (encrypted && password.empty())
                return fail("the private key is encrypted and no password was given", false);
            if (encrypted)
                return fail("cannot decrypt the private key: wrong password or damaged key" +
                                reason,
                            false);
            return fail("cannot read the PEM private key" + reason, false);
        }
    } else {
        if (keyFile.size() > static_cast<std::size_t>(std::numeric_limits<long>::max()))
            return fail("the key file is too large", false);
        const unsigned char *cursor = keyFile.data();
        key.reset(d2i_AutoPrivateKey(nullptr, &cursor, static_cast<long>(keyFile.size())));
        if (!key)
            return fail("the key file is neither a PEM key nor an unencrypted DER key");
    }
    KeyAlgorithm algorithm;
    switch (EVP_PKEY_get_base_id(key.get())) {
    case EVP_PKEY_RSA:
        algorithm = KeyAlgorithm::Rsa;
        break;
    case EVP_PKEY_DSA:
        algorithm = KeyAlgorithm::Dsa;
        break;
    default:
        return fail(std::string("a ") + EVP_PKEY_get0_type_name(key.get()) +
                        " key cannot sign a Symbian package (RSA or DSA only)",
                    false);
    }
    auto handle = std::make_unique<PrivateKey::Handle>();
    handle->key = std::move(key);
    return PrivateKey(std::move(handle), algorithm);
}

std::expected<std::vector<Bytes>, Error> splitCertificates(std::span<const std::uint8_t> der)
{
    ERR_clear_error();
    std::vector<Bytes> certificates;
    const unsigned char *cursor = der.data();
    const unsigned char *const end = der.data() + der.size();
    while (cursor < end) {
        const unsigned char *start = cursor;
        auto certificate = parseCertificate(cursor, static_cast<long>(end - cursor));
        if (!certificate)
            return fail("certificate " + std::to_string(certificates.size() + 1) + " at byte " +
                            std::to_string(start - der.data()) + " is " +
                            certificate.error().message,
                        false);
        certificates.emplace_back(start, cursor);
    }
    if (certificates.empty())
        return fail("the certificate chain is empty", false);
    return certificates;
}

std::expected<Bytes, Error> loadCertificateFile(std::span<const std::uint8_t> certificateFile)
{
    ERR_clear_error();
    if (!looksLikePem(certificateFile)) {
        VELMORA_TRY(splitCertificates(certificateFile));
        return Bytes(certificateFile.begin(), certificateFile.end());
    }
    BioPtr bio = memoryBio(certificateFile);
    if (!bio)
        return fail("the certificate file is too large", false);
    Bytes chain;
    for (;;) {
        X509Ptr certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
        if (!certificate)
            break;
        const int size = i2d_X509(certificate.get(), nullptr);
        if (size <= 0)
            return fail("cannot encode a certificate as DER");
        const std::size_t at = chain.size();
        chain.resize(at + static_cast<std::size_t>(size));
        unsigned char *out = chain.data() + at;
        i2d_X509(certificate.get(), &out);
    }
    // Running out of certificates leaves a "no start line" error behind; anything else is a
    // damaged certificate.
    const unsigned long pending = ERR_peek_last_error();
    if (pending != 0 && ERR_GET_REASON(pending) != PEM_R_NO_START_LINE)
        return fail("cannot read a PEM certificate");
    ERR_clear_error();
    if (chain.empty())
        return fail("the certificate file holds no PEM certificate", false);
    return chain;
}

std::expected<CertificateInfo, Error> describeCertificate(std::span<const std::uint8_t> der)
{
    ERR_clear_error();
    const unsigned char *cursor = der.data();
    VELMORA_TRY_ASSIGN(auto certificate, parseCertificate(cursor, static_cast<long>(der.size())));
    X509 *x509 = certificate.get();
    CertificateInfo info;
    info.subject = nameText(X509_get_subject_name(x509));
    info.issuer = nameText(X509_get_issuer_name(x509));
    info.notBefore = timeText(X509_get0_notBefore(x509));
    info.notAfter = timeText(X509_get0_notAfter(x509));
    BignumPtr serial(ASN1_INTEGER_to_BN(X509_get0_serialNumber(x509), nullptr));
    if (serial) {
        char *text = BN_bn2hex(serial.get());
        if (text) {
            info.serial = text;
            OPENSSL_free(text);
        }
    }
    EVP_PKEY *publicKey = X509_get0_pubkey(x509);
    if (publicKey) {
        const int id = EVP_PKEY_get_base_id(publicKey);
        info.keyAlgorithm = id == EVP_PKEY_RSA   ? "RSA"
                            : id == EVP_PKEY_DSA ? "DSA"
                                                 : EVP_PKEY_get0_type_name(publicKey);
        info.keyBits = EVP_PKEY_get_bits(publicKey);
        info.selfSigned =
            X509_check_issued(x509, x509) == X509_V_OK && X509_verify(x509, publicKey) == 1;
    }
    ERR_clear_error();
    return info;
}

std::expected<void, Error> checkKeyMatchesCertificate(const PrivateKey &key,
                                                      std::span<const std::uint8_t> certificateDer)
{
    ERR_clear_error();
    const unsigned char *cursor = certificateDer.data();
    VELMORA_TRY_ASSIGN(auto certificate,
                       parseCertificate(cursor, static_cast<long>(certificateDer.size())));
    if (X509_check_private_key(certificate.get(), key.m_handle->key.get()) != 1)
        return fail("the private key does not belong to the certificate", false);
    ERR_clear_error();
    return {};
}

std::expected<Signature, Error> signSha1(const PrivateKey &key,
                                         std::span<const std::uint8_t> message)
{
    ERR_clear_error();
    MdCtxPtr context(EVP_MD_CTX_new());
    if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha1(), nullptr,
                                       key.m_handle->key.get()) != 1)
        return fail("cannot start signing");
    std::size_t size = 0;
    if (EVP_DigestSign(context.get(), nullptr, &size, message.data(), message.size()) != 1)
        return fail("cannot sign");
    Signature signature;
    signature.value.resize(size);
    if (EVP_DigestSign(context.get(), signature.value.data(), &size, message.data(),
                       message.size()) != 1)
        return fail("cannot sign");
    signature.value.resize(size);
    signature.algorithm = toUtf16(key.algorithm() == KeyAlgorithm::Rsa ? kOidRsaSha1 : kOidDsaSha1);
    return signature;
}

std::expected<void, Error> verifySignature(std::span<const std::uint8_t> certificatesDer,
                                           const Signature &signature,
                                           std::span<const std::uint8_t> message)
{
    ERR_clear_error();
    const unsigned char *cursor = certificatesDer.data();
    auto certificate = parseCertificate(cursor, static_cast<long>(certificatesDer.size()));
    if (!certificate)
        return std::unexpected(Error{"the signer's certificate is " + certificate.error().message});
    EVP_PKEY *publicKey = X509_get0_pubkey(certificate->get());
    if (!publicKey)
        return fail("the signer's certificate has no usable public key");
    const std::string oid = toUtf8(signature.algorithm);
    const int keyId = EVP_PKEY_get_base_id(publicKey);
    if (oid == kOidRsaSha1) {
        if (keyId != EVP_PKEY_RSA)
            return fail("an RSA signature, but the certificate holds a non-RSA key", false);
    } else if (oid == kOidDsaSha1) {
        if (keyId != EVP_PKEY_DSA)
            return fail("a DSA signature, but the certificate holds a non-DSA key", false);
    } else {
        return fail("unsupported signature algorithm \"" + oid + "\"", false);
    }
    std::span<const std::uint8_t> value = signature.value;
    if (oid == kOidDsaSha1) {
        VELMORA_TRY_ASSIGN(auto der, dsaSignatureDer(value));
        value = der;
    }
    MdCtxPtr context(EVP_MD_CTX_new());
    if (!context ||
        EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha1(), nullptr, publicKey) != 1)
        return fail("cannot start verifying");
    const int result =
        EVP_DigestVerify(context.get(), value.data(), value.size(), message.data(), message.size());
    if (result != 1) {
        ERR_clear_error();
        return fail("the signature does not match the signed data", false);
    }
    return {};
}

} // namespace velmora::sis
