// Signing, verification and signature removal, checked against the openssl command line as an
// independent oracle, plus the key and certificate formats signsis accepts.

#include "SisTestSupport.h"

#include "export/sis/Checksums.h"
#include "export/sis/Crypto.h"
#include "export/sis/Signer.h"
#include "export/sis/SisReader.h"
#include "export/sis/SisWriter.h"
#include "export/sis/Text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace velmora::sis;
using namespace sistest;

namespace {

std::string findOpenssl()
{
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/openssl";
        if (std::filesystem::exists(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

PrivateKey velmoraKey()
{
    auto key = loadPrivateKey(readAll(certFile("Velmora.key")), "kite408");
    EXPECT_TRUE(key.has_value()) << key.error().message;
    return std::move(*key);
}

Bytes velmoraCertificate()
{
    auto certificate = loadCertificateFile(readAll(certFile("Velmora.cer")));
    EXPECT_TRUE(certificate.has_value()) << certificate.error().message;
    return *certificate;
}

Bytes signedSkin(const Bytes &unsignedFile)
{
    auto signedFile = signPackage(unsignedFile, velmoraCertificate(), velmoraKey());
    EXPECT_TRUE(signedFile.has_value()) << signedFile.error().message;
    return signedFile ? *signedFile : Bytes{};
}

Bytes subBytes(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size)
{
    const auto part = bytes.subspan(at, size);
    return Bytes(part.begin(), part.end());
}

} // namespace

TEST(SisSigning, SignatureIsWhatOpensslMakesAndVerifiesOverTheSignedRegion)
{
    const std::string openssl = findOpenssl();
    if (openssl.empty())
        GTEST_SKIP() << "no openssl command line tool";
    SkinFolder folder;
    const Bytes signedFile = signedSkin(buildSkinPackage(folder));
    auto package = readPackage(signedFile);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    ASSERT_EQ(package->controller.chains.size(), 1u);
    const SignatureChain &chain = package->controller.chains[0];
    ASSERT_EQ(chain.signatures.size(), 1u);
    EXPECT_EQ(chain.signatures[0].algorithm, u"1.2.840.113549.1.1.5");
    EXPECT_EQ(chain.signatures[0].value.size(), 256u);
    EXPECT_EQ(chain.certificates, velmoraCertificate());

    TempDir dir;
    const auto region = signedRegion(*package, 0);
    ASSERT_EQ(region.size(), 840u);
    writeAll(dir / "region", Bytes(region.begin(), region.end()));
    writeAll(dir / "signature", chain.signatures[0].value);

    const auto made = runProcess(openssl,
                                 {"dgst", "-sha1", "-sign", certFile("Velmora.key"), "-passin",
                                  "pass:kite408", "-out", dir / "expected", dir / "region"},
                                 dir.path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(readAll(dir / "expected"), chain.signatures[0].value);

    const auto key = runProcess(
        openssl,
        {"x509", "-in", certFile("Velmora.cer"), "-pubkey", "-noout", "-out", dir / "public.pem"},
        dir.path());
    ASSERT_EQ(key.exitCode, 0) << key.err;
    const auto verified = runProcess(openssl,
                                     {"dgst", "-sha1", "-verify", dir / "public.pem", "-signature",
                                      dir / "signature", dir / "region"},
                                     dir.path());
    EXPECT_EQ(verified.exitCode, 0) << verified.out << verified.err;
    EXPECT_NE(verified.out.find("Verified OK"), std::string::npos);
}

TEST(SisSigning, InsertsTheChainBeforeTheDataIndexAndKeepsTheDataSection)
{
    SkinFolder folder;
    const Bytes unsignedFile = buildSkinPackage(folder);
    const Bytes signedFile = signedSkin(unsignedFile);
    auto before = readPackage(unsignedFile);
    auto after = readPackage(signedFile);
    ASSERT_TRUE(before.has_value());
    ASSERT_TRUE(after.has_value()) << after.error().message;

    EXPECT_EQ(subBytes(signedFile, 0, 16), subBytes(unsignedFile, 0, 16));
    EXPECT_EQ(subBytes(signedFile, after->dataOffset, after->dataSize),
              subBytes(unsignedFile, before->dataOffset, before->dataSize));
    EXPECT_EQ(after->dataChecksum, before->dataChecksum);
    EXPECT_NE(after->controllerChecksum, before->controllerChecksum);
    EXPECT_TRUE(checksumProblems(*after, signedFile).empty());
    EXPECT_TRUE(hashProblems(*after, signedFile).empty());

    // Controller data: the unsigned bytes up to the data index, the chain, the same data index.
    const Bytes &old = before->controllerField;
    const Bytes &now = after->controllerField;
    const std::size_t insertAt = before->signedRegionEnds.back();
    ASSERT_EQ(insertAt, 848u);
    EXPECT_EQ(subBytes(now, 8, insertAt - 8), subBytes(old, 8, insertAt - 8));
    EXPECT_EQ(subBytes(now, now.size() - 12, 12), subBytes(old, old.size() - 12, 12));
    const Bytes chain = encodeSignatureChain(after->controller.chains[0]);
    EXPECT_EQ(subBytes(now, insertAt, chain.size()), chain);
    EXPECT_EQ(now.size(), old.size() + chain.size());
    EXPECT_EQ(after->signedRegionEnds, (std::vector<std::size_t>{848, 848 + chain.size()}));

    Controller expected = before->controller;
    expected.chains = after->controller.chains;
    EXPECT_EQ(after->controller, expected);
    EXPECT_TRUE(inspectPackage(*after, signedFile).valid());
}

TEST(SisSigning, SecondChainSignsTheFirstAndRemovalUndoesEachStep)
{
    SkinFolder folder(true);
    const Bytes unsignedFile = buildSkinPackage(folder);
    const Bytes rsaSigned = signedSkin(unsignedFile);

    auto dsaKey = loadPrivateKey(readAll(testData("dsa1024.key")), "");
    ASSERT_TRUE(dsaKey.has_value()) << dsaKey.error().message;
    EXPECT_EQ(dsaKey->algorithm(), KeyAlgorithm::Dsa);
    auto dsaCertificate = loadCertificateFile(readAll(testData("dsa1024.cer")));
    ASSERT_TRUE(dsaCertificate.has_value());
    auto twice = signPackage(rsaSigned, *dsaCertificate, *dsaKey);
    ASSERT_TRUE(twice.has_value()) << twice.error().message;

    auto package = readPackage(*twice);
    ASSERT_TRUE(package.has_value()) << package.error().message;
    ASSERT_EQ(package->controller.chains.size(), 2u);
    const Signature &dsa = package->controller.chains[1].signatures[0];
    EXPECT_EQ(dsa.algorithm, u"1.2.840.10040.4.3");
    EXPECT_EQ(dsa.value[0], 0x30); // DER SEQUENCE{r, s}
    const auto first = signedRegion(*package, 0);
    const auto second = signedRegion(*package, 1);
    EXPECT_EQ(second.size(),
              first.size() + encodeSignatureChain(package->controller.chains[0]).size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), second.begin()));
    const PackageReport report = inspectPackage(*package, *twice);
    EXPECT_TRUE(report.valid());
    ASSERT_EQ(report.chains.size(), 2u);
    EXPECT_EQ(report.chains[1].certificateInfo.at(0).keyAlgorithm, "DSA");

    auto once = removeLastSignature(*twice);
    ASSERT_TRUE(once.has_value()) << once.error().message;
    EXPECT_EQ(*once, rsaSigned);
    auto none = removeLastSignature(*once);
    ASSERT_TRUE(none.has_value()) << none.error().message;
    EXPECT_EQ(*none, unsignedFile);
    auto nothing = removeLastSignature(*none);
    ASSERT_FALSE(nothing.has_value());
    EXPECT_EQ(nothing.error().message, "the package has no signature to remove");
}

TEST(SisSigning, RefusesPackagesThatDoNotCheckOut)
{
    SkinFolder folder;
    const Bytes unsignedFile = buildSkinPackage(folder);
    const Bytes signedFile = signedSkin(unsignedFile);
    auto package = readPackage(signedFile);
    ASSERT_TRUE(package.has_value());

    // A signed package whose name was changed afterwards.
    Controller forged = package->controller;
    forged.info.names[0] = u"Tolvo FORGED";
    auto compressed = encodeCompressed(encodeController(forged), true);
    const Bytes forgedFile =
        assemblePackage(0xEB7A0591, compressed->field,
                        subBytes(signedFile, package->dataOffset, package->dataSize));
    auto forgedPackage = readPackage(forgedFile);
    ASSERT_TRUE(forgedPackage.has_value());
    const PackageReport report = inspectPackage(*forgedPackage, forgedFile);
    EXPECT_FALSE(report.valid());
    EXPECT_FALSE(report.chains.at(0).signatures.at(0).valid);
    EXPECT_EQ(report.chains[0].signatures[0].problem,
              "the signature does not match the signed data");
    auto resigned = signPackage(forgedFile, velmoraCertificate(), velmoraKey());
    ASSERT_FALSE(resigned.has_value());
    EXPECT_EQ(resigned.error().message.rfind("an existing signature does not verify", 0), 0u);

    // A file whose contents no longer match its hash.
    Bytes damaged = unsignedFile;
    const FileDataRef &mif = package->dataUnits[0][1];
    damaged[mif.payloadOffset + 10] ^= 1;
    auto refused = signPackage(damaged, velmoraCertificate(), velmoraKey());
    ASSERT_FALSE(refused.has_value());
    EXPECT_NE(refused.error().message.find("SHA-1 of the contents does not match"),
              std::string::npos);

    // A key that is not the certificate's.
    auto otherKey = loadPrivateKey(readAll(testData("rsa1024_plain.der")), "");
    ASSERT_TRUE(otherKey.has_value());
    auto mismatch = signPackage(unsignedFile, velmoraCertificate(), *otherKey);
    ASSERT_FALSE(mismatch.has_value());
    EXPECT_EQ(mismatch.error().message, "the private key does not belong to the certificate");
}

TEST(SisKeys, LoadTheFormatsSignsisAccepts)
{
    auto velmora = loadPrivateKey(readAll(certFile("Velmora.key")), "kite408");
    ASSERT_TRUE(velmora.has_value()) << velmora.error().message;
    EXPECT_EQ(velmora->algorithm(), KeyAlgorithm::Rsa);
    EXPECT_EQ(velmora->bits(), 2048);

    auto pkcs8 = loadPrivateKey(readAll(testData("rsa1024_pkcs8_encrypted.key")), "test-pass");
    ASSERT_TRUE(pkcs8.has_value()) << pkcs8.error().message;
    EXPECT_EQ(pkcs8->bits(), 1024);
    auto der = loadPrivateKey(readAll(testData("rsa1024_plain.der")), "");
    ASSERT_TRUE(der.has_value()) << der.error().message;
    auto certificate = loadCertificateFile(readAll(testData("rsa1024.cer")));
    ASSERT_TRUE(certificate.has_value());
    EXPECT_TRUE(checkKeyMatchesCertificate(*pkcs8, *certificate).has_value());
    EXPECT_TRUE(checkKeyMatchesCertificate(*der, *certificate).has_value());
}

TEST(SisKeys, ExplainWhyAKeyDoesNotLoadWithoutShowingThePassword)
{
    const Bytes key = readAll(certFile("Velmora.key"));
    auto wrong = loadPrivateKey(key, "swordfish-77");
    ASSERT_FALSE(wrong.has_value());
    EXPECT_EQ(wrong.error().message.rfind("cannot decrypt the private key: wrong password", 0), 0u)
        << wrong.error().message;
    EXPECT_EQ(wrong.error().message.find("swordfish"), std::string::npos);

    auto missing = loadPrivateKey(key, "");
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(missing.error().message, "the private key is encrypted and no password was given");

    auto garbage = loadPrivateKey(pseudoRandom(300, 5), "");
    ASSERT_FALSE(garbage.has_value());
    EXPECT_EQ(garbage.error().message.rfind("the key file is neither a PEM key nor", 0), 0u);
}

TEST(SisCertificates, PemAndDerGiveTheSameChainInFileOrder)
{
    const Bytes rsaPem = readAll(testData("rsa1024.cer"));
    const Bytes rsaDer = readAll(testData("rsa1024_cer.der"));
    auto fromPem = loadCertificateFile(rsaPem);
    auto fromDer = loadCertificateFile(rsaDer);
    ASSERT_TRUE(fromPem.has_value()) << fromPem.error().message;
    ASSERT_TRUE(fromDer.has_value()) << fromDer.error().message;
    EXPECT_EQ(*fromPem, rsaDer);
    EXPECT_EQ(*fromDer, rsaDer);

    Bytes twoPem = readAll(testData("dsa1024.cer"));
    twoPem.insert(twoPem.end(), rsaPem.begin(), rsaPem.end());
    auto chain = loadCertificateFile(twoPem);
    ASSERT_TRUE(chain.has_value()) << chain.error().message;
    auto parts = splitCertificates(*chain);
    ASSERT_TRUE(parts.has_value());
    ASSERT_EQ(parts->size(), 2u);
    EXPECT_EQ(parts->at(1), rsaDer);
    EXPECT_EQ(describeCertificate(parts->at(0))->keyAlgorithm, "DSA");

    EXPECT_FALSE(loadCertificateFile(pseudoRandom(200, 9)).has_value());
    Bytes truncated = rsaDer;
    truncated.resize(truncated.size() - 1);
    EXPECT_FALSE(splitCertificates(truncated).has_value());
}

TEST(SisCertificates, VelmoraCertificateIsSelfSignedRsa2048ForTwentyYears)
{
    auto info = describeCertificate(velmoraCertificate());
    ASSERT_TRUE(info.has_value()) << info.error().message;
    EXPECT_EQ(info->keyAlgorithm, "RSA");
    EXPECT_EQ(info->keyBits, 2048);
    EXPECT_TRUE(info->selfSigned);
    EXPECT_EQ(info->subject, info->issuer);
    // "Dec  7 20:19:28 2026 GMT": the year is the fourth word.
    auto year = [](const std::string &text) {
        return std::stoi(text.substr(text.size() - 8, 4));
    };
    EXPECT_GE(year(info->notAfter) - year(info->notBefore), 20);
}

namespace {

struct DsaSigner
{
    PrivateKey key;
    Bytes certificate;
};

DsaSigner dsaSigner()
{
    auto key = loadPrivateKey(readAll(testData("dsa1024.key")), "");
    EXPECT_TRUE(key.has_value()) << key.error().message;
    auto certificate = loadCertificateFile(readAll(testData("dsa1024.cer")));
    EXPECT_TRUE(certificate.has_value()) << certificate.error().message;
    return {std::move(*key), *certificate};
}

// `file` with `tail` appended to the blob of its first signature. The blob is not part of what
// the signature signs, so only the blob's own reading decides.
Bytes withSignatureTail(const Bytes &file, const Bytes &tail)
{
    auto package = readPackage(file);
    EXPECT_TRUE(package.has_value());
    Controller controller = package->controller;
    Bytes &value = controller.chains.at(0).signatures.at(0).value;
    value.insert(value.end(), tail.begin(), tail.end());
    return replaceController(file, controller);
}

} // namespace

// The SDK's signer leaves the unused end of a DSA blob as zero bytes; such a signature holds.
// Anything else after the DER SEQUENCE is damage.
TEST(SisSigning, DsaSignatureFollowedByZeroBytesVerifiesAndByOtherBytesDoesNot)
{
    SkinFolder folder;
    const DsaSigner dsa = dsaSigner();
    auto signedFile = signPackage(buildSkinPackage(folder), dsa.certificate, dsa.key);
    ASSERT_TRUE(signedFile.has_value()) << signedFile.error().message;
    const std::size_t derSize =
        readPackage(*signedFile)->controller.chains.at(0).signatures.at(0).value.size();

    // One or two zero bytes, and the blob grown to the 48 bytes the SDK's signer allocates.
    const Bytes toSdkSize(derSize < 48 ? 48 - derSize : 3, 0);
    for (const Bytes &tail : {Bytes{0}, Bytes{0, 0}, toSdkSize}) {
        const Bytes padded = withSignatureTail(*signedFile, tail);
        auto package = readPackage(padded);
        ASSERT_TRUE(package.has_value()) << package.error().message;
        ASSERT_EQ(package->controller.chains[0].signatures[0].value.size(), derSize + tail.size());
        const PackageReport report = inspectPackage(*package, padded);
        EXPECT_TRUE(report.valid())
            << tail.size() << " zero bytes: " << report.chains.at(0).signatures.at(0).problem;
        // Signing again first verifies the existing signature.
        auto resigned = signPackage(padded, velmoraCertificate(), velmoraKey());
        ASSERT_TRUE(resigned.has_value()) << resigned.error().message;
        EXPECT_TRUE(inspectPackage(*readPackage(*resigned), *resigned).valid());
    }

    for (const Bytes &tail : {Bytes{1}, Bytes{0, 0, 0x80}, Bytes{0x30, 0x00}}) {
        const Bytes damaged = withSignatureTail(*signedFile, tail);
        auto package = readPackage(damaged);
        ASSERT_TRUE(package.has_value()) << package.error().message;
        const PackageReport report = inspectPackage(*package, damaged);
        EXPECT_FALSE(report.valid());
        EXPECT_EQ(report.chains.at(0).signatures.at(0).problem,
                  std::to_string(tail.size()) +
                      " bytes after the DSA signature's DER SEQUENCE are not all zero");
        EXPECT_FALSE(signPackage(damaged, velmoraCertificate(), velmoraKey()).has_value());
    }

    // A blob cut inside its SEQUENCE still fails.
    auto package = readPackage(*signedFile);
    Controller cut = package->controller;
    Bytes &value = cut.chains[0].signatures[0].value;
    value.resize(value.size() - 1);
    const Bytes cutFile = replaceController(*signedFile, cut);
    EXPECT_FALSE(inspectPackage(*readPackage(cutFile), cutFile).valid());
}
