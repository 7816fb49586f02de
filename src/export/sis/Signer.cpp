#include "export/sis/Signer.h"

#include "export/sis/SisWriter.h"
#include "export/sis/Text.h"
#include "platform/Try.h"

namespace velmora::sis {

namespace {

// Re-wraps controller data (everything after the SISController header) as a stored package,
// keeping the header, the data section and the controller's compression choice.
std::expected<Bytes, Error> rebuild(const Package &package, std::span<const std::uint8_t> file,
                                    const Bytes &controllerData)
{
    const Bytes controller = encodeField(FieldType::Controller, controllerData);
    VELMORA_TRY_ASSIGN(
        auto compressed,
        encodeCompressed(controller, package.controllerCompression == Compression::Deflate));
    Bytes out(file.begin(), file.begin() + 16);
    appendBytes(
        out, encodeContents(compressed.field, file.subspan(package.dataOffset, package.dataSize)));
    return out;
}

std::vector<std::string> signatureProblems(const Package &package)
{
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < package.controller.chains.size(); ++i) {
        const SignatureChain &chain = package.controller.chains[i];
        const auto message = signedRegion(package, i);
        if (chain.signatures.empty())
            problems.push_back("signature chain " + std::to_string(i + 1) + " has no signature");
        for (const Signature &signature : chain.signatures) {
            auto verified = verifySignature(chain.certificates, signature, message);
            if (!verified)
                problems.push_back("signature chain " + std::to_string(i + 1) + ": " +
                                   verified.error().message);
        }
    }
    return problems;
}

std::string joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const auto &line : lines)
        text += (text.empty() ? "" : "; ") + line;
    return text;
}

} // namespace

std::expected<Bytes, Error> signPackage(std::span<const std::uint8_t> file,
                                        std::span<const std::uint8_t> certificates,
                                        const PrivateKey &key)
{
    VELMORA_TRY_ASSIGN(auto package, readPackage(file));
    if (auto problems = signatureProblems(package); !problems.empty())
        return std::unexpected(Error{"an existing signature does not verify: " + joined(problems)});
    if (auto problems = hashProblems(package, file); !problems.empty())
        return std::unexpected(Error{joined(problems)});
    VELMORA_TRY_ASSIGN(auto chainCertificates, splitCertificates(certificates));
    VELMORA_TRY(checkKeyMatchesCertificate(key, chainCertificates.front()));

    const auto message = signedRegion(package, package.controller.chains.size());
    VELMORA_TRY_ASSIGN(auto signature, signSha1(key, message));
    SignatureChain chain;
    chain.signatures.push_back(std::move(signature));
    chain.certificates.assign(certificates.begin(), certificates.end());

    const Bytes &field = package.controllerField;
    const std::size_t insertAt = package.signedRegionEnds.back();
    Bytes data(field.begin() + package.controllerHeaderSize, field.begin() + insertAt);
    appendBytes(data, encodeSignatureChain(chain));
    data.insert(data.end(), field.begin() + insertAt, field.end());
    return rebuild(package, file, data);
}

std::expected<Bytes, Error> removeLastSignature(std::span<const std::uint8_t> file)
{
    VELMORA_TRY_ASSIGN(auto package, readPackage(file));
    const std::size_t chains = package.controller.chains.size();
    if (chains == 0)
        return std::unexpected(Error{"the package has no signature to remove"});
    const Bytes &field = package.controllerField;
    const std::size_t chainStart = package.signedRegionEnds[chains - 1];
    const std::size_t chainEnd = package.signedRegionEnds[chains];
    Bytes data(field.begin() + package.controllerHeaderSize, field.begin() + chainStart);
    data.insert(data.end(), field.begin() + chainEnd, field.end());
    return rebuild(package, file, data);
}

bool ChainReport::valid() const
{
    if (signatures.empty() || !certificateProblem.empty())
        return false;
    for (const auto &signature : signatures)
        if (!signature.valid)
            return false;
    return true;
}

bool PackageReport::valid() const
{
    if (!checksumProblems.empty() || !hashProblems.empty())
        return false;
    for (const auto &chain : chains)
        if (!chain.valid())
            return false;
    return true;
}

PackageReport inspectPackage(const Package &package, std::span<const std::uint8_t> file)
{
    PackageReport report;
    report.checksumProblems = checksumProblems(package, file);
    report.hashProblems = hashProblems(package, file);
    for (std::size_t i = 0; i < package.controller.chains.size(); ++i) {
        const SignatureChain &chain = package.controller.chains[i];
        const auto message = signedRegion(package, i);
        ChainReport chainReport;
        chainReport.signedBytes = message.size();
        auto certificates = splitCertificates(chain.certificates);
        if (certificates) {
            chainReport.certificates = std::move(*certificates);
            for (const Bytes &der : chainReport.certificates) {
                auto info = describeCertificate(der);
                if (info)
                    chainReport.certificateInfo.push_back(std::move(*info));
                else
                    chainReport.certificateProblem = info.error().message;
            }
        } else {
            chainReport.certificateProblem = certificates.error().message;
        }
        for (const Signature &signature : chain.signatures) {
            SignatureReport signatureReport;
            signatureReport.algorithm = toUtf8(signature.algorithm);
            signatureReport.size = signature.value.size();
            auto verified = verifySignature(chain.certificates, signature, message);
            signatureReport.valid = verified.has_value();
            if (!verified)
                signatureReport.problem = verified.error().message;
            chainReport.signatures.push_back(std::move(signatureReport));
        }
        report.chains.push_back(std::move(chainReport));
    }
    return report;
}

} // namespace velmora::sis
