#pragma once

// Adding, removing and checking signatures. A signature chain signs the controller's data from
// its first byte through the install block and every earlier chain; it goes in after the last
// chain, before SISDataIndex. The data section is copied byte for byte, so only the controller,
// its compression and its checksum change.

#include "export/sis/Crypto.h"
#include "export/sis/SisReader.h"

#include <expected>
#include <span>
#include <string>

namespace velmora::sis {

// Signs `file` after checking it as signsis must: structure, every existing signature and every
// file hash. `certificates` is the DER chain, the signer first.
std::expected<Bytes, Error> signPackage(std::span<const std::uint8_t> file,
                                        std::span<const std::uint8_t> certificates,
                                        const PrivateKey &key);

// Removes the most recent signature chain.
std::expected<Bytes, Error> removeLastSignature(std::span<const std::uint8_t> file);

struct SignatureReport
{
    std::string algorithm;
    std::size_t size = 0;
    bool valid = false;
    std::string problem;
};

struct ChainReport
{
    std::vector<SignatureReport> signatures;
    std::vector<Bytes> certificates; // DER
    std::vector<CertificateInfo> certificateInfo;
    std::string certificateProblem; // set when the certificate blob cannot be read
    std::size_t signedBytes = 0;
    bool valid() const;
};

struct PackageReport
{
    std::vector<std::string> checksumProblems;
    std::vector<std::string> hashProblems;
    std::vector<ChainReport> chains;
    // Structure, checksums, hashes and every signature hold.
    bool valid() const;
};

PackageReport inspectPackage(const Package &package, std::span<const std::uint8_t> file);

} // namespace velmora::sis
