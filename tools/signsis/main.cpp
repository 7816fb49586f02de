// signsis: signs a Symbian OS 9 package, removes its last signature, or reports its signatures.
//
//   signsis [-s] [-cr|-cd] [-v] [--] IN.sis OUT.sisx CERT KEY [PASSWORD]
//   signsis -u IN.sis OUT.sis
//   signsis -p IN.sis            (also -o)

#include "common/Options.h"
#include "export/sis/FileIo.h"
#include "export/sis/Limits.h"
#include "export/sis/Signer.h"
#include "export/sis/Text.h"

#include <openssl/crypto.h>

#include <csignal>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace velmora::sis;
using namespace velmora::tools;

namespace {

// Larger than any package makesis builds.
constexpr std::uint64_t kMaxPackageSize = kMaxPackageFileSize;
constexpr std::uint64_t kMaxCredentialSize = 1u << 20;

enum class Action { Sign, Unsign, Print };

struct Options
{
    bool help = false;
    Action action = Action::Sign;
    bool verbose = false;
    std::optional<KeyAlgorithm> forcedAlgorithm;
    std::string in;
    std::string out;
    std::string certificate;
    std::string key;
    std::string password;
};

// Keeps the password out of freed memory.
struct PasswordWiper
{
    std::string &password;
    ~PasswordWiper()
    {
        if (!password.empty())
            OPENSSL_cleanse(password.data(), password.size());
    }
};

void usage(std::FILE *to)
{
    std::fputs("Usage: signsis [-s] [-cr|-cd] [-v] [--] IN.sis OUT.sisx CERT KEY [PASSWORD]\n"
               "       signsis -u IN.sis OUT.sis\n"
               "       signsis -p IN.sis\n"
               "  -s    sign (the default): append a signature made with KEY, whose\n"
               "        certificate (PEM or DER) is CERT\n"
               "  -cr   insist on an RSA key; -cd insist on a DSA key\n"
               "  -u    remove the most recent signature\n"
               "  -p    print the signatures and certificates and whether each verifies\n"
               "        (-o is the same)\n"
               "  --    end the options (for a file name that starts with -)\n"
               "Options come before the file names.\n",
               to);
}

struct Problem
{
    std::string message;
    bool showUsage = true;
};

constexpr KnownOption kOptions[] = {{"-s"}, {"-u"}, {"-p"}, {"-o"}, {"-v"}, {"-cr"}, {"-cd"}};

// Returns the problem, or nothing when the line is usable.
std::optional<Problem> parseOptions(int argc, char **argv, Options &options)
{
    auto line = parseCommandLine(argc, argv, kOptions);
    if (!line)
        return Problem{"unknown option " + line.error().option + " (signsis -h lists the options)",
                       false};
    if (line->help) {
        options.help = true;
        return std::nullopt;
    }
    int actions = 0;
    for (const GivenOption &option : line->options) {
        if (option.name == "-s") {
            options.action = Action::Sign;
            ++actions;
        } else if (option.name == "-u") {
            options.action = Action::Unsign;
            ++actions;
        } else if (option.name == "-p" || option.name == "-o") {
            options.action = Action::Print;
            ++actions;
        } else if (option.name == "-v") {
            options.verbose = true;
        } else if (option.name == "-cr") {
            options.forcedAlgorithm = KeyAlgorithm::Rsa;
        } else {
            options.forcedAlgorithm = KeyAlgorithm::Dsa;
        }
    }
    std::vector<std::string> &positional = line->operands;
    if (actions > 1)
        return Problem{"give only one of -s, -u and -p"};
    const std::size_t count = positional.size();
    switch (options.action) {
    case Action::Sign:
        if (count < 4 || count > 5)
            return Problem{"signing needs IN OUT CERT KEY and an optional PASSWORD"};
        options.certificate = positional[2];
        options.key = positional[3];
        if (count == 5)
            options.password = std::move(positional[4]);
        break;
    case Action::Unsign:
        if (count != 2)
            return Problem{"-u needs IN and OUT"};
        break;
    case Action::Print:
        if (count != 1)
            return Problem{"-p needs exactly one package"};
        break;
    }
    options.in = positional[0];
    if (count > 1)
        options.out = positional[1];
    return std::nullopt;
}

// Prints one message line; text from a package can hold any character.
void printError(const std::string &text)
{
    std::fprintf(stderr, "signsis: %s\n", printable(text).c_str());
}

int sign(const Options &options)
{
    auto package = readFile(options.in, kMaxPackageSize);
    if (!package) {
        printError(package.error().message);
        return 1;
    }
    auto certificateFile = readFile(options.certificate, kMaxCredentialSize);
    if (!certificateFile) {
        printError(certificateFile.error().message);
        return 1;
    }
    auto certificates = loadCertificateFile(*certificateFile);
    if (!certificates) {
        printError(options.certificate + ": " + certificates.error().message);
        return 1;
    }
    auto keyFile = readFile(options.key, kMaxCredentialSize);
    if (!keyFile) {
        printError(keyFile.error().message);
        return 1;
    }
    auto key = loadPrivateKey(*keyFile, options.password);
    OPENSSL_cleanse(keyFile->data(), keyFile->size());
    if (!key) {
        printError(options.key + ": " + key.error().message);
        return 1;
    }
    if (options.forcedAlgorithm && *options.forcedAlgorithm != key->algorithm()) {
        std::fprintf(stderr, "signsis: %s: the key is not a%s key\n", options.key.c_str(),
                     *options.forcedAlgorithm == KeyAlgorithm::Rsa ? "n RSA" : " DSA");
        return 1;
    }
    auto signedPackage = signPackage(*package, *certificates, *key);
    if (!signedPackage) {
        printError(options.in + ": " + signedPackage.error().message);
        return 1;
    }
    if (auto written = writeFileAtomically(options.out, *signedPackage); !written) {
        printError(written.error().message);
        return 1;
    }
    if (options.verbose)
        std::printf("Signed %s with %s (%d-bit %s key) into %s.\n", options.in.c_str(),
                    options.certificate.c_str(), key->bits(),
                    key->algorithm() == KeyAlgorithm::Rsa ? "RSA" : "DSA", options.out.c_str());
    return 0;
}

int unsign(const Options &options)
{
    auto package = readFile(options.in, kMaxPackageSize);
    if (!package) {
        printError(package.error().message);
        return 1;
    }
    auto unsigned_ = removeLastSignature(*package);
    if (!unsigned_) {
        printError(options.in + ": " + unsigned_.error().message);
        return 1;
    }
    if (auto written = writeFileAtomically(options.out, *unsigned_); !written) {
        printError(written.error().message);
        return 1;
    }
    return 0;
}

const char *algorithmName(const std::string &oid)
{
    if (oid == kOidRsaSha1)
        return "RSA-SHA1";
    if (oid == kOidDsaSha1)
        return "DSA-SHA1";
    return "unknown algorithm";
}

int print(const Options &options)
{
    auto bytes = readFile(options.in, kMaxPackageSize);
    if (!bytes) {
        printError(bytes.error().message);
        return 1;
    }
    auto package = readPackage(*bytes);
    if (!package) {
        printError(options.in + ": " + package.error().message);
        return 1;
    }
    const PackageReport report = inspectPackage(*package, *bytes);
    std::printf("%s: package %s \"%s\", %zu signature chain(s)\n", options.in.c_str(),
                hex(package->uid3, 8).c_str(),
                package->controller.info.names.empty()
                    ? ""
                    : toUtf8(package->controller.info.names.front()).c_str(),
                report.chains.size());
    for (std::size_t i = 0; i < report.chains.size(); ++i) {
        const ChainReport &chain = report.chains[i];
        std::printf("Signature chain %zu (signs %zu bytes)\n", i + 1, chain.signedBytes);
        for (std::size_t k = 0; k < chain.signatures.size(); ++k) {
            const SignatureReport &signature = chain.signatures[k];
            std::printf("  Signature %zu: %s (%s), %zu bytes: %s%s\n", k + 1,
                        algorithmName(signature.algorithm), signature.algorithm.c_str(),
                        signature.size, signature.valid ? "verifies" : "DOES NOT VERIFY",
                        signature.valid ? "" : (" - " + signature.problem).c_str());
        }
        if (!chain.certificateProblem.empty())
            std::printf("  Certificates: cannot be read: %s\n", chain.certificateProblem.c_str());
        for (std::size_t k = 0; k < chain.certificateInfo.size(); ++k) {
            const CertificateInfo &info = chain.certificateInfo[k];
            std::printf("  Certificate %zu%s\n", k + 1, k == 0 ? " (signer)" : "");
            std::printf("    Subject:  %s\n", info.subject.c_str());
            std::printf("    Issuer:   %s%s\n", info.issuer.c_str(),
                        info.selfSigned ? " (self-signed)" : "");
            std::printf("    Serial:   %s\n", info.serial.c_str());
            std::printf("    Valid:    %s to %s\n", info.notBefore.c_str(), info.notAfter.c_str());
            std::printf("    Key:      %s, %d bits\n", info.keyAlgorithm.c_str(), info.keyBits);
        }
    }
    for (const auto &problem : report.checksumProblems)
        std::printf("Checksum: %s\n", problem.c_str());
    for (const auto &problem : report.hashProblems)
        std::printf("File hash: %s\n", problem.c_str());
    if (report.checksumProblems.empty() && report.hashProblems.empty())
        std::printf("Checksums and file hashes: ok\n");
    return report.valid() ? 0 : 1;
}

int run(int argc, char **argv)
{
    Options options;
    PasswordWiper wiper{options.password};
    if (const auto problem = parseOptions(argc, argv, options)) {
        printError(problem->message);
        if (problem->showUsage)
            usage(stderr);
        return 1;
    }
    if (options.help) {
        usage(stdout);
        return 0;
    }
    switch (options.action) {
    case Action::Sign:
        return sign(options);
    case Action::Unsign:
        return unsign(options);
    case Action::Print:
        return print(options);
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Past a file size limit the system would end the program without a word; ignored, the
    // write fails with "File too large", which is reported like any other failure.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fflush(stdout);
        std::fputs("signsis: out of memory\n", stderr);
        return 1;
    }
}
