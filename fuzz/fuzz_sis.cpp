#include "Check.h"

#include "export/sis/Signer.h"
#include "export/sis/Zlib.h"

#include <span>

using namespace velmora::sis;

namespace {

// Taking a file out inflates it a piece at a time: the pieces never pass the declared size, a
// stream that succeeds gives exactly that many bytes, and a reader that stops the stream stops it.
void checkStreamedInflation(const Package &package, std::span<const std::uint8_t> file)
{
    for (const auto &unit : package.dataUnits) {
        for (const FileDataRef &data : unit) {
            if (data.algorithm != Compression::Deflate)
                continue;
            const auto payload = file.subspan(data.payloadOffset, data.payloadSize);
            std::uint64_t produced = 0;
            const auto whole = inflateZlib(
                payload, data.uncompressedSize, [&](std::span<const std::uint8_t> piece) {
                    produced += piece.size();
                    fuzzCheck(produced <= data.uncompressedSize, "no more than the declared size");
                    return true;
                });
            fuzzCheck(!whole || produced == data.uncompressedSize, "exactly the declared size");
            if (!whole || produced == 0)
                continue;
            const auto stopped = inflateZlib(payload, data.uncompressedSize,
                                             [](std::span<const std::uint8_t>) { return false; });
            fuzzCheck(!stopped && stopped.error() == kSinkStopped, "a stopped stream stops");
        }
    }
}

} // namespace

// The package reader, and what signsis does with a package it read: the checksums, the file
// hashes (inflating every file), the certificates and signatures, and taking the last signature
// off, which must leave a package the reader takes back with everything else unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> file(data, size);
    const auto package = readPackage(file);
    if (!package)
        return 0;
    const PackageReport report = inspectPackage(*package, file);
    fuzzCheck(report.chains.size() == package->controller.chains.size(),
              "one report per signature chain");
    fuzzCheck(package->signedRegionEnds.size() == package->controller.chains.size() + 1,
              "a signed region for every chain and one for the next");
    for (std::size_t chain = 0; chain < package->signedRegionEnds.size(); ++chain)
        (void)signedRegion(*package, chain);
    checkStreamedInflation(*package, file);

    const auto unsigned_ = removeLastSignature(file);
    if (!unsigned_)
        return 0;
    const auto reread = readPackage(*unsigned_);
    fuzzCheck(reread.has_value(), "the package without its last signature reads",
              reread ? std::string() : reread.error().message);
    Controller expected = package->controller;
    expected.chains.pop_back();
    fuzzCheck(reread->controller == expected, "removing a signature changes only the chains");
    fuzzCheck(reread->dataUnits.size() == package->dataUnits.size(),
              "removing a signature keeps the data units");
    return 0;
}
