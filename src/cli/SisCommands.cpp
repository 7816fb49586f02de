#include "cli/SisCommands.h"
#include "cli/Cli.h"
#include "export/PackageFiles.h"

#include "export/sis/Crypto.h"
#include "export/sis/FileIo.h"
#include "export/sis/Limits.h"
#include "export/sis/Signer.h"
#include "export/sis/SisReader.h"
#include "export/sis/Text.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <new>

namespace {

namespace sis = velmora::sis;

const char16_t kSisUsage[] =
    u"Usage:\n"
    u"  velmora-cli sis show FILE.sis [--json]\n"
    u"      Prints the package's name, UID, version, vendor, target devices, files with their\n"
    u"      install targets, and its signatures with whether each verifies.\n"
    u"  velmora-cli sis verify FILE.sis [CERT]\n"
    u"      Exits with 0 only when the structure, both checksums, every file hash and every\n"
    u"      signature hold; with CERT (PEM or DER), one signature chain must also be signed\n"
    u"      with that certificate. A check that fails exits with 3, a package that cannot\n"
    u"      be read at all with 1.\n"
    u"  velmora-cli sis extract FILE.sis -o DIR\n"
    u"      Checks the package as verify does and writes its files under DIR by their target\n"
    u"      names without the drive (\"!:\\resource\\skins\\x.skin\" gives DIR/resource/skins/\n"
    u"      x.skin). All or nothing: the files take their names only when all are written.\n"
    u"      Refused, with nothing written: a target that would leave DIR, a symbolic link\n"
    u"      where a folder or file would go, two targets naming one file (letter case\n"
    u"      aside), and a package beyond what a skin package holds: more than 64 files, a\n"
    u"      file over 256 MiB, 576 MiB in all, or a package file over 640 MiB.\n";

constexpr std::uint64_t kMaxPackageSize = sis::kMaxPackageFileSize;

// The usage states the limits in words; they must say what the code does.
static_assert(sis::kMaxPackagedFiles == 64 && sis::kMaxPackagedFileSize == 256u << 20 &&
              sis::kMaxPackagedTotalSize == 576u << 20 && kMaxPackageSize == 640u << 20);

// Every text below comes from the package, so it goes to the terminal made safe.
QString qs(const std::string &utf8)
{
    return terminalSafe(QString::fromStdString(utf8));
}

QString qs(const std::u16string &text)
{
    return terminalSafe(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

QString uidText(std::uint32_t uid)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(uid, 8, 16, QLatin1Char('0')).toUpper();
}

QString versionText(const sis::Version &version)
{
    return QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.build);
}

QString dateText(const sis::DateTime &time)
{
    return QStringLiteral("%1-%2-%3 %4:%5:%6 UTC")
        .arg(time.year, 4, 10, QLatin1Char('0'))
        .arg(time.month + 1, 2, 10, QLatin1Char('0'))
        .arg(time.day, 2, 10, QLatin1Char('0'))
        .arg(time.hours, 2, 10, QLatin1Char('0'))
        .arg(time.minutes, 2, 10, QLatin1Char('0'))
        .arg(time.seconds, 2, 10, QLatin1Char('0'));
}

QString installTypeText(std::uint8_t type)
{
    static const char *const kTypes[] = {"SA", "SP", "PU", "PA", "PP"};
    return type < 5 ? QString::fromLatin1(kTypes[type]) : QString::number(type);
}

QString operationText(std::uint32_t operation)
{
    switch (operation) {
    case sis::OpInstall:
        return QStringLiteral("install");
    case sis::OpRun:
        return QStringLiteral("run");
    case sis::OpText:
        return QStringLiteral("text");
    case sis::OpNull:
        return QStringLiteral("null");
    default:
        return QString::number(operation);
    }
}

QString algorithmText(const std::string &oid)
{
    if (oid == sis::kOidRsaSha1)
        return QStringLiteral("RSA-SHA1");
    if (oid == sis::kOidDsaSha1)
        return QStringLiteral("DSA-SHA1");
    return qs(oid);
}

QString joinNames(const std::vector<std::u16string> &names)
{
    QStringList list;
    for (const auto &name : names)
        list << qs(name);
    return list.join(QStringLiteral(" / "));
}

QJsonArray namesJson(const std::vector<std::u16string> &names)
{
    QJsonArray array;
    for (const auto &name : names)
        array.append(qs(name));
    return array;
}

struct Loaded
{
    sis::Bytes bytes;
    sis::Package package;
};

std::expected<Loaded, QString> load(const QString &path)
{
    auto bytes = sis::readFile(QFile::encodeName(path).toStdString(), kMaxPackageSize);
    if (!bytes)
        return std::unexpected(qs(bytes.error().message));
    auto package = sis::readPackage(*bytes);
    if (!package)
        return std::unexpected(terminalSafe(path) + QStringLiteral(": ") +
                               qs(package.error().message));
    return Loaded{std::move(*bytes), std::move(*package)};
}

QJsonObject toJson(const sis::Package &package, const sis::PackageReport &report)
{
    const sis::Controller &controller = package.controller;
    QJsonArray devices;
    for (const auto &device : controller.targetDevices) {
        QJsonObject entry{{QStringLiteral("uid"), uidText(device.uid)},
                          {QStringLiteral("names"), namesJson(device.names)},
                          {QStringLiteral("from"), versionText(device.from)}};
        if (device.to)
            entry.insert(QStringLiteral("to"), versionText(*device.to));
        devices.append(entry);
    }
    QJsonArray files;
    for (const sis::FileDescription *file : sis::allFiles(controller))
        files.append(QJsonObject{{QStringLiteral("target"), qs(file->target)},
                                 {QStringLiteral("operation"), operationText(file->operation)},
                                 {QStringLiteral("options"), qint64(file->operationOptions)},
                                 {QStringLiteral("size"), qint64(file->uncompressedLength)},
                                 {QStringLiteral("storedSize"), qint64(file->length)},
                                 {QStringLiteral("index"), qint64(file->fileIndex)}});
    QJsonArray languages;
    for (std::uint32_t language : controller.languages)
        languages.append(qint64(language));
    QJsonArray chains;
    for (const sis::ChainReport &chain : report.chains) {
        QJsonArray signatures;
        for (const auto &signature : chain.signatures) {
            QJsonObject entry{{QStringLiteral("algorithm"), algorithmText(signature.algorithm)},
                              {QStringLiteral("oid"), qs(signature.algorithm)},
                              {QStringLiteral("size"), qint64(signature.size)},
                              {QStringLiteral("valid"), signature.valid}};
            if (!signature.valid)
                entry.insert(QStringLiteral("problem"), qs(signature.problem));
            signatures.append(entry);
        }
        QJsonArray certificates;
        for (const auto &info : chain.certificateInfo)
            certificates.append(QJsonObject{{QStringLiteral("subject"), qs(info.subject)},
                                            {QStringLiteral("issuer"), qs(info.issuer)},
                                            {QStringLiteral("notBefore"), qs(info.notBefore)},
                                            {QStringLiteral("notAfter"), qs(info.notAfter)},
                                            {QStringLiteral("key"), qs(info.keyAlgorithm)},
                                            {QStringLiteral("bits"), info.keyBits}});
        chains.append(QJsonObject{{QStringLiteral("signatures"), signatures},
                                  {QStringLiteral("certificates"), certificates},
                                  {QStringLiteral("signedBytes"), qint64(chain.signedBytes)}});
    }
    QJsonArray problems;
    for (const auto *list : {&report.checksumProblems, &report.hashProblems})
        for (const auto &problem : *list)
            problems.append(qs(problem));
    return {{QStringLiteral("name"),
             controller.info.names.empty() ? QString() : qs(controller.info.names.front())},
            {QStringLiteral("names"), namesJson(controller.info.names)},
            {QStringLiteral("uid"), uidText(package.uid3)},
            {QStringLiteral("version"), versionText(controller.info.version)},
            {QStringLiteral("vendor"), qs(controller.info.vendorUniqueName)},
            {QStringLiteral("vendorNames"), namesJson(controller.info.vendorNames)},
            {QStringLiteral("created"), dateText(controller.info.creationTime)},
            {QStringLiteral("type"), installTypeText(controller.info.installType)},
            {QStringLiteral("languages"), languages},
            {QStringLiteral("targetDevices"), devices},
            {QStringLiteral("files"), files},
            {QStringLiteral("signatureChains"), chains},
            {QStringLiteral("problems"), problems},
            {QStringLiteral("valid"), report.valid()}};
}

void printText(const sis::Package &package, const sis::PackageReport &report, QTextStream &out)
{
    const sis::Controller &controller = package.controller;
    out << "Package:   " << joinNames(controller.info.names) << '\n'
        << "UID:       " << uidText(package.uid3) << '\n'
        << "Version:   " << versionText(controller.info.version) << '\n'
        << "Vendor:    " << qs(controller.info.vendorUniqueName) << " ("
        << joinNames(controller.info.vendorNames) << ")\n"
        << "Created:   " << dateText(controller.info.creationTime) << '\n'
        << "Type:      " << installTypeText(controller.info.installType) << '\n';
    out << "Target devices:\n";
    for (const auto &device : controller.targetDevices)
        out << "  " << uidText(device.uid) << ' ' << joinNames(device.names) << ", "
            << versionText(device.from)
            << (device.to ? QStringLiteral(" to ") + versionText(*device.to)
                          : QStringLiteral(" or later"))
            << '\n';
    out << "Files:\n";
    for (const sis::FileDescription *file : sis::allFiles(controller))
        out << "  " << file->fileIndex << ' ' << operationText(file->operation) << " \""
            << qs(file->target) << "\" " << file->uncompressedLength << " bytes\n";
    out << "Signatures:";
    if (report.chains.empty())
        out << " none";
    out << '\n';
    for (std::size_t i = 0; i < report.chains.size(); ++i) {
        const sis::ChainReport &chain = report.chains[i];
        const QString signer = chain.certificateInfo.empty()
                                   ? QStringLiteral("unreadable certificate")
                                   : qs(chain.certificateInfo.front().subject);
        for (const auto &signature : chain.signatures)
            out << "  " << (i + 1) << ": " << algorithmText(signature.algorithm) << " by " << signer
                << ": "
                << (signature.valid
                        ? QStringLiteral("verifies")
                        : QStringLiteral("DOES NOT VERIFY (%1)").arg(qs(signature.problem)))
                << '\n';
    }
    for (const auto *list : {&report.checksumProblems, &report.hashProblems})
        for (const auto &problem : *list)
            out << "Problem:   " << qs(problem) << '\n';
}

int show(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const Arguments split = splitArguments(args);
    const QStringList &files = split.operands;
    const bool json = !split.options.isEmpty();
    if (const auto unknown = split.unknownOption({QStringLiteral("--json")})) {
        err << QStringLiteral("velmora-cli sis show: %1\n").arg(terminalSafe(unknown->message))
            << QString::fromUtf16(kSisUsage);
        return 2;
    }
    if (files.size() != 1) {
        err << QString::fromUtf16(kSisUsage);
        return 2;
    }
    auto loaded = load(files.first());
    if (!loaded) {
        err << QStringLiteral("velmora-cli: %1\n").arg(loaded.error());
        return 1;
    }
    const sis::PackageReport report = sis::inspectPackage(loaded->package, loaded->bytes);
    if (json)
        out << QString::fromUtf8(
            QJsonDocument(toJson(loaded->package, report)).toJson(QJsonDocument::Indented));
    else
        printText(loaded->package, report, out);
    return 0;
}

int verify(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const Arguments split = splitArguments(arguments);
    if (const auto unknown = split.unknownOption({})) {
        err << QStringLiteral("velmora-cli sis verify: %1\n").arg(terminalSafe(unknown->message))
            << QString::fromUtf16(kSisUsage);
        return 2;
    }
    const QStringList &args = split.operands;
    if (args.size() < 1 || args.size() > 2) {
        err << QString::fromUtf16(kSisUsage);
        return 2;
    }
    const QString path = args.first();
    auto loaded = load(path);
    if (!loaded) {
        err << QStringLiteral("velmora-cli: %1\n").arg(loaded.error());
        return 1;
    }
    const sis::PackageReport report = sis::inspectPackage(loaded->package, loaded->bytes);
    QStringList problems = packageProblems(report);
    if (args.size() == 2) {
        const QString certificatePath = args.at(1);
        auto file = sis::readFile(QFile::encodeName(certificatePath).toStdString(), 1u << 20);
        if (!file) {
            err << QStringLiteral("velmora-cli: %1\n").arg(qs(file.error().message));
            return 1;
        }
        auto chain = sis::loadCertificateFile(*file);
        std::expected<std::vector<sis::Bytes>, sis::Error> wanted =
            std::unexpected(chain ? sis::Error{} : chain.error());
        if (chain)
            wanted = sis::splitCertificates(*chain);
        if (!wanted) {
            err << QStringLiteral("velmora-cli: %1: %2\n")
                       .arg(terminalSafe(certificatePath), qs(wanted.error().message));
            return 1;
        }
        bool found = false;
        for (const sis::ChainReport &chainReport : report.chains)
            found = found || (chainReport.valid() && !chainReport.certificates.empty() &&
                              chainReport.certificates.front() == wanted->front());
        if (!found)
            problems << QStringLiteral("no valid signature chain is signed with %1")
                            .arg(terminalSafe(certificatePath));
    }
    if (!problems.isEmpty()) {
        for (const QString &problem : problems)
            err << terminalSafe(path) << ": " << terminalSafe(problem) << '\n';
        return 3; // read, and found wanting
    }
    out << terminalSafe(path)
        << QStringLiteral(": ok, %1 signature chain(s)\n").arg(report.chains.size());
    return 0;
}

int extract(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString folder;
    QStringList files;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (optionsEnded || !arg.startsWith(u'-') || arg == u"-") {
            files.append(arg);
        } else if (arg == u"-o" && i + 1 < args.size()) {
            folder = args[++i];
        } else {
            err << QStringLiteral("velmora-cli sis extract: unknown option \"%1\" (see "
                                  "velmora-cli sis --help)\n")
                       .arg(terminalSafe(arg));
            return 2;
        }
    }
    if (folder.isEmpty() || files.size() != 1) {
        err << QStringLiteral("velmora-cli sis extract: name one package and -o DIR (see "
                              "velmora-cli sis --help)\n");
        return 2;
    }
    const auto written = extractPackage(files.first(), folder);
    if (!written) {
        err << QStringLiteral("velmora-cli: %1\n").arg(terminalSafe(written.error().message));
        return 1;
    }
    for (const QString &file : *written)
        out << terminalSafe(file) << '\n';
    return 0;
}

int dispatch(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h") {
        (args.isEmpty() ? err : out) << QString::fromUtf16(kSisUsage);
        return args.isEmpty() ? 2 : 0;
    }
    const QStringList rest = args.mid(1);
    if (rest.contains(QStringLiteral("--help")) || rest.contains(QStringLiteral("-h"))) {
        out << QString::fromUtf16(kSisUsage);
        return 0;
    }
    if (args.first() == u"show")
        return show(rest, out, err);
    if (args.first() == u"verify")
        return verify(rest, out, err);
    if (args.first() == u"extract")
        return extract(rest, out, err);
    err << QStringLiteral("velmora-cli: unknown sis command \"%1\"\n")
               .arg(terminalSafe(args.first()))
        << QString::fromUtf16(kSisUsage);
    return 2;
}

} // namespace

int runSisCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    // A package is read whole: one near the size limit may not fit in what memory is left.
    try {
        return dispatch(args, out, err);
    } catch (const std::bad_alloc &) {
        out.flush();
        err << "velmora-cli sis: out of memory\n";
        return 1;
    }
}

int runSisCommand(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runSisCommand(args, out, err);
}
