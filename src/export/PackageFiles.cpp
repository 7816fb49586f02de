#include "export/PackageFiles.h"

#include "export/sis/FileIo.h"
#include "export/sis/Signer.h"
#include "export/sis/SisReader.h"
#include "export/sis/Text.h"
#include "export/sis/Zlib.h"
#include "platform/FileOps.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sis = velmora::sis;

namespace {

// Largest package read: a skin is a few megabytes, the reader's own limits do the rest.
constexpr std::uint64_t kMaxPackageSize = 1u << 30;

QString qs(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

Result<QByteArray> contentsOf(std::span<const std::uint8_t> file, const sis::FileDataRef &data,
                              const QString &target)
{
    const auto payload = file.subspan(data.payloadOffset, data.payloadSize);
    if (data.algorithm != sis::Compression::Deflate)
        return QByteArray(reinterpret_cast<const char *>(payload.data()),
                          qsizetype(payload.size()));
    auto inflated = sis::inflateZlib(payload, data.uncompressedSize);
    if (!inflated)
        return fail(Error::corrupt(QStringLiteral("%1: %2").arg(target, qs(inflated.error()))));
    return QByteArray(reinterpret_cast<const char *>(inflated->data()),
                      qsizetype(inflated->size()));
}

} // namespace

QStringList packageProblems(const sis::PackageReport &report)
{
    QStringList problems;
    for (const auto *list : {&report.checksumProblems, &report.hashProblems})
        for (const auto &problem : *list)
            problems << qs(problem);
    for (std::size_t i = 0; i < report.chains.size(); ++i) {
        const sis::ChainReport &chain = report.chains[i];
        if (!chain.certificateProblem.empty())
            problems << QCoreApplication::translate("PackageFiles", "signature chain %1: %2")
                            .arg(i + 1)
                            .arg(qs(chain.certificateProblem));
        if (chain.signatures.empty())
            problems << QCoreApplication::translate("PackageFiles",
                                                    "signature chain %1 has no signature")
                            .arg(i + 1);
        for (const auto &signature : chain.signatures)
            if (!signature.valid)
                problems << QCoreApplication::translate("PackageFiles", "signature chain %1: %2")
                                .arg(i + 1)
                                .arg(qs(signature.problem));
    }
    return problems;
}

bool isPackageName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"sis" || suffix == u"sisx";
}

Result<QString> extractedPath(const QString &target)
{
    const auto refuse = [&] {
        return fail(Error::unsupported(
            QCoreApplication::translate("PackageFiles",
                                        "the package's target \"%1\" leaves the folder it is "
                                        "taken into")
                .arg(target)));
    };
    if (target.size() < 3 || target[1] != u':' || target[2] != u'\\')
        return refuse();
    const QStringList parts = target.mid(3).split(u'\\');
    for (const QString &part : parts) {
        if (part.isEmpty() || part == u"." || part == u".." || part.contains(u'/') ||
            part.contains(QChar(0)))
            return refuse();
    }
    return parts.join(u'/');
}

Result<QList<PackagedFile>> readPackageFiles(const QString &path)
{
    auto bytes = sis::readFile(QFile::encodeName(path).toStdString(), kMaxPackageSize);
    if (!bytes)
        return fail(Error::io(qs(bytes.error().message)));
    auto package = sis::readPackage(*bytes);
    if (!package)
        return fail(
            Error::corrupt(QStringLiteral("%1: %2").arg(path, qs(package.error().message))));
    const QStringList problems = packageProblems(sis::inspectPackage(*package, *bytes));
    if (!problems.isEmpty())
        return fail(Error::corrupt(QStringLiteral("%1: %2").arg(path, problems.first())));
    const sis::Controller &controller = package->controller;
    if (controller.dataIndex >= package->dataUnits.size())
        return fail(Error::unsupported(
            QCoreApplication::translate(
                "PackageFiles",
                "%1: the package stores no files (it is for files already on the phone)")
                .arg(path)));
    QList<PackagedFile> files;
    for (const sis::FileDescription *description : sis::allFiles(controller)) {
        const QString target = QString::fromStdString(sis::toUtf8(description->target));
        // A text shown while installing has no place on the phone, and a file only removed at
        // uninstall has no contents: neither is taken out.
        if (target.isEmpty() || description->operation == sis::OpText ||
            description->operation == sis::OpNull)
            continue;
        auto relative = extractedPath(target);
        if (!relative)
            return fail(relative.error());
        const sis::FileDataRef &data =
            package->dataUnits[controller.dataIndex][description->fileIndex];
        auto contents = contentsOf(*bytes, data, target);
        if (!contents)
            return fail(contents.error());
        files.append({target, *relative, std::move(*contents)});
    }
    return files;
}

Result<QStringList> extractPackage(const QString &path, const QString &folder)
{
    const auto files = readPackageFiles(path);
    if (!files)
        return fail(files.error());
    const QDir root(folder);
    QStringList written;
    for (const PackagedFile &file : *files) {
        const QString target = root.filePath(file.relative);
        if (!QDir().mkpath(QFileInfo(target).path()))
            return fail(Error::io(
                QCoreApplication::translate("PackageFiles", "%1: the folder cannot be made")
                    .arg(QFileInfo(target).path())));
        if (auto done = writeFileAtomically(target, file.contents); !done)
            return fail(done.error());
        written.append(target);
    }
    return written;
}

Result<QString> extractSkinPackage(const QString &path, const QString &folder)
{
    const auto written = extractPackage(path, folder);
    if (!written)
        return fail(written.error());
    for (const QString &file : *written) {
        if (file.endsWith(QStringLiteral(".skin"), Qt::CaseInsensitive))
            return file;
    }
    return fail(Error::unsupported(
        QCoreApplication::translate("PackageFiles", "%1: the package holds no .skin file")
            .arg(path)));
}
