#include "export/PackageFiles.h"

#include "platform/FileOps.h"

#include "export/sis/FileIo.h"
#include "export/sis/Limits.h"
#include "export/sis/Signer.h"
#include "export/sis/SisReader.h"
#include "export/sis/Text.h"
#include "export/sis/Zlib.h"
#include "platform/SystemReason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <new>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace sis = velmora::sis;

namespace {

QString qs(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

QString systemReason(int error)
{
    return platform::readableReason(QString::fromLocal8Bit(std::strerror(error)));
}

QString mebibytes(std::uint64_t bytes)
{
    return QString::number(bytes >> 20);
}

// One file of the package to take out.
struct Entry
{
    QString target;   // as the package names it: "!:\resource\skins\blue.skin"
    QString relative; // where it goes under the folder: "resource/skins/blue.skin"
    sis::FileDataRef data;
};

struct CheckedPackage
{
    sis::Bytes bytes;
    QList<Entry> entries;
};

// Every file description, those of embedded packages too: checking the hashes inflates them all.
void collectFiles(const sis::Controller &controller, std::vector<const sis::FileDescription *> &out)
{
    const auto files = sis::allFiles(controller);
    out.insert(out.end(), files.begin(), files.end());
    for (const sis::Controller &embedded : controller.installBlock.embedded)
        collectFiles(embedded, out);
}

// Judged from the sizes the package declares (the reader has checked that the stored files
// declare the same), before a single byte is inflated.
Result<void> checkLimits(const QString &path, const sis::Package &package)
{
    std::vector<const sis::FileDescription *> files;
    collectFiles(package.controller, files);
    if (files.size() > sis::kMaxPackagedFiles)
        return fail(Error::unsupported(
            QCoreApplication::translate("PackageFiles",
                                        "%1: the package holds %2 files; a skin package holds at "
                                        "most %3")
                .arg(path)
                .arg(files.size())
                .arg(sis::kMaxPackagedFiles)));
    std::uint64_t total = 0;
    for (const sis::FileDescription *file : files) {
        if (file->uncompressedLength > sis::kMaxPackagedFileSize)
            return fail(Error::unsupported(
                QCoreApplication::translate("PackageFiles",
                                            "%1: \"%2\" would take %3 bytes; a file of a skin "
                                            "package takes at most %4 MiB")
                    .arg(path, qs(sis::toUtf8(file->target)))
                    .arg(file->uncompressedLength)
                    .arg(mebibytes(sis::kMaxPackagedFileSize))));
        total += file->uncompressedLength;
        if (total > sis::kMaxPackagedTotalSize)
            return fail(Error::unsupported(
                QCoreApplication::translate("PackageFiles",
                                            "%1: the package's files would take more than %2 MiB "
                                            "together, the most a skin package holds")
                    .arg(path, mebibytes(sis::kMaxPackagedTotalSize))));
    }
    return {};
}

// The files of the install block that go to the phone, each under its own name: two targets that
// differ only in letter case are one file on the phone, and would be one here on many systems.
Result<QList<Entry>> entriesOf(const QString &path, const sis::Package &package)
{
    const sis::Controller &controller = package.controller;
    QList<Entry> entries;
    std::map<std::u16string, QString> places;
    for (const sis::FileDescription *description : sis::allFiles(controller)) {
        const QString target = QString::fromStdString(sis::toUtf8(description->target));
        // A text shown while installing has no place on the phone, and a file only removed at
        // uninstall has no contents: neither is taken out.
        if (target.isEmpty() || description->operation == sis::OpText ||
            description->operation == sis::OpNull)
            continue;
        VELMORA_TRY_ASSIGN(const QString relative, extractedPath(target));
        const auto [earlier, added] =
            places.try_emplace(sis::foldCase(relative.toStdU16String()), target);
        if (!added)
            return fail(Error::unsupported(
                QCoreApplication::translate("PackageFiles",
                                            "%1: \"%2\" and \"%3\" would be the same file")
                    .arg(path, earlier->second, target)));
        entries.append(
            {target, relative, package.dataUnits[controller.dataIndex][description->fileIndex]});
    }
    return entries;
}

Result<CheckedPackage> readCheckedPackage(const QString &path)
{
    auto bytes = sis::readFile(QFile::encodeName(path).toStdString(), sis::kMaxPackageFileSize);
    if (!bytes)
        return fail(Error::io(qs(bytes.error().message)));
    auto package = sis::readPackage(*bytes);
    if (!package)
        return fail(
            Error::corrupt(QStringLiteral("%1: %2").arg(path, qs(package.error().message))));
    VELMORA_TRY(checkLimits(path, *package));
    const QStringList problems = packageProblems(sis::inspectPackage(*package, *bytes));
    if (!problems.isEmpty())
        return fail(Error::corrupt(QStringLiteral("%1: %2").arg(path, problems.first())));
    if (package->controller.dataIndex >= package->dataUnits.size())
        return fail(Error::unsupported(
            QCoreApplication::translate(
                "PackageFiles",
                "%1: the package stores no files (it is for files already on the phone)")
                .arg(path)));
    VELMORA_TRY_ASSIGN(auto entries, entriesOf(path, *package));
    return CheckedPackage{std::move(*bytes), std::move(entries)};
}

class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor &&other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    int get() const { return m_fd; }
    // Closes now; a failed close can mean data that never reached the disk.
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    int m_fd;
};

std::string encoded(const QString &name)
{
    return QFile::encodeName(name).toStdString();
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = ENOSPC;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(wrote));
    }
    return true;
}

// The folder and its missing parents, deepest first: what making it would create.
QStringList missingFolders(const QString &folder)
{
    QStringList missing;
    QString at = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo::exists(at)) {
        missing.append(at);
        const QString up = QFileInfo(at).path();
        if (up == at)
            break;
        at = up;
    }
    return missing;
}

Error linkRefused(const QString &shown)
{
    return Error::unsupported(
        QCoreApplication::translate("PackageFiles",
                                    "%1 is a symbolic link; a package's files are never written "
                                    "through one")
            .arg(shown));
}

Error systemError(const QString &shown, int error)
{
    return Error::io(QStringLiteral("%1: %2").arg(shown, systemReason(error)));
}

// Taking the files out under one folder. Every folder below it is opened relative to its parent
// without following a link, so whatever links lie in the tree, nothing lands outside it. The
// files are written as temporaries and take their names only in finish(); whatever has not
// finished is undone when the extraction ends: temporaries removed, the folders it made removed
// again when empty.
class Extraction
{
public:
    explicit Extraction(const QString &root)
        : m_root(root)
    {}
    ~Extraction()
    {
        if (!m_finished)
            undo();
    }
    Extraction(const Extraction &) = delete;
    Extraction &operator=(const Extraction &) = delete;

    Result<void> openRoot();
    // Makes and opens every file's folder, then checks every file's own name.
    Result<void> prepare(const QList<Entry> &entries);
    // Writes every file to its temporary and flushes it.
    Result<void> write(std::span<const std::uint8_t> package);
    // Gives every file its name. Returns the paths written.
    Result<QStringList> finish();

private:
    struct File
    {
        const Entry *entry = nullptr;
        std::size_t folder = 0;
        std::string name;
        std::string temporary; // set while a temporary exists
    };

    QString shown(const QString &relative) const { return QDir(m_root).filePath(relative); }
    Result<std::size_t> openFolder(const QString &relativeFolder);
    Result<std::size_t> openChild(std::size_t parent, const QString &relative);
    Result<void> checkName(const File &file) const;
    Result<void> createTemporary(File &file, Descriptor &out);
    Result<void> writeFile(File &file, std::span<const std::uint8_t> package);
    void undo();

    QString m_root;
    QStringList m_rootsMade;
    std::vector<Descriptor> m_folders; // [0] is the root
    std::map<QString, std::size_t> m_folderIndex;
    std::vector<std::pair<std::size_t, std::string>> m_foldersMade; // parent, name; in order
    std::vector<File> m_files;
    bool m_finished = false;
};

Result<void> Extraction::openRoot()
{
    m_rootsMade = missingFolders(m_root);
    VELMORA_TRY(makeFolder(m_root));
    Descriptor root(::open(encoded(m_root).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.get() < 0)
        return fail(systemError(m_root, errno));
    m_folders.push_back(std::move(root));
    m_folderIndex.emplace(QString(), 0);
    return {};
}

Result<std::size_t> Extraction::openChild(std::size_t parent, const QString &relative)
{
    const std::string name = encoded(QFileInfo(relative).fileName());
    const int parentFd = m_folders[parent].get();
    if (::mkdirat(parentFd, name.c_str(), 0777) == 0)
        m_foldersMade.emplace_back(parent, name);
    else if (errno != EEXIST)
        return fail(systemError(shown(relative), errno));
    Descriptor folder(
        ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.get() < 0) {
        const int error = errno;
        struct stat info
        {
        };
        if (::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(info.st_mode))
            return fail(linkRefused(shown(relative)));
        return fail(systemError(shown(relative), error));
    }
    m_folders.push_back(std::move(folder));
    return m_folders.size() - 1;
}

Result<std::size_t> Extraction::openFolder(const QString &relativeFolder)
{
    std::size_t at = 0;
    QString prefix;
    for (const QString &part : relativeFolder.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue; // the root itself, for a file directly under it
        prefix = prefix.isEmpty() ? part : prefix + u'/' + part;
        if (const auto known = m_folderIndex.find(prefix); known != m_folderIndex.end()) {
            at = known->second;
            continue;
        }
        VELMORA_TRY_ASSIGN(at, openChild(at, prefix));
        m_folderIndex.emplace(prefix, at);
    }
    return at;
}

Result<void> Extraction::checkName(const File &file) const
{
    struct stat info
    {
    };
    const QString path = shown(file.entry->relative);
    if (::fstatat(m_folders[file.folder].get(), file.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) !=
        0) {
        if (errno == ENOENT)
            return {};
        return fail(systemError(path, errno));
    }
    if (S_ISLNK(info.st_mode))
        return fail(linkRefused(path));
    if (S_ISDIR(info.st_mode))
        return fail(
            Error::io(QCoreApplication::translate("PackageFiles", "%1 is a folder").arg(path)));
    if (!S_ISREG(info.st_mode))
        return fail(Error::io(
            QCoreApplication::translate("PackageFiles", "%1 is not a regular file").arg(path)));
    return {};
}

Result<void> Extraction::prepare(const QList<Entry> &entries)
{
    for (const Entry &entry : entries) {
        VELMORA_TRY_ASSIGN(const std::size_t folder, openFolder(QFileInfo(entry.relative).path()));
        m_files.push_back({&entry, folder, encoded(QFileInfo(entry.relative).fileName()), {}});
    }
    // Only once every folder is there: a file's name may be a folder another file needs.
    for (const File &file : m_files) {
        VELMORA_TRY(checkName(file));
    }
    return {};
}

Result<void> Extraction::createTemporary(File &file, Descriptor &out)
{
    const int folder = m_folders[file.folder].get();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".~velmora-";
        for (int i = 0; i < 8; ++i)
            name += char('a' + QRandomGenerator::global()->bounded(26));
        out = Descriptor(::openat(folder, name.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (out.get() >= 0) {
            file.temporary = std::move(name);
            return {};
        }
        if (errno != EEXIST)
            break;
    }
    return fail(systemError(shown(file.entry->relative), errno));
}

Result<void> Extraction::writeFile(File &file, std::span<const std::uint8_t> package)
{
    Descriptor out;
    VELMORA_TRY(createTemporary(file, out));
    const QString path = shown(file.entry->relative);
    const sis::FileDataRef &data = file.entry->data;
    const auto payload = package.subspan(data.payloadOffset, data.payloadSize);
    int writeError = 0;
    if (data.algorithm == sis::Compression::Deflate) {
        const auto inflated = sis::inflateZlib(payload, data.uncompressedSize,
                                               [&](std::span<const std::uint8_t> piece) {
                                                   if (writeAll(out.get(), piece))
                                                       return true;
                                                   writeError = errno;
                                                   return false;
                                               });
        if (!inflated && writeError == 0)
            return fail(Error::corrupt(
                QStringLiteral("%1: %2").arg(file.entry->target, qs(inflated.error()))));
    } else if (!writeAll(out.get(), payload)) {
        writeError = errno;
    }
    if (writeError == 0 && ::fdatasync(out.get()) != 0)
        writeError = errno;
    if (writeError == 0 && !out.close())
        writeError = errno;
    if (writeError != 0)
        return fail(systemError(path, writeError));
    return {};
}

Result<void> Extraction::write(std::span<const std::uint8_t> package)
{
    for (File &file : m_files) {
        VELMORA_TRY(writeFile(file, package));
    }
    return {};
}

Result<QStringList> Extraction::finish()
{
    QStringList written;
    for (File &file : m_files) {
        const int folder = m_folders[file.folder].get();
        if (::renameat(folder, file.temporary.c_str(), folder, file.name.c_str()) != 0)
            return fail(systemError(shown(file.entry->relative), errno));
        file.temporary.clear();
        written.append(shown(file.entry->relative));
    }
    // The new names on the disk, not only in memory.
    for (const Descriptor &folder : m_folders)
        (void)::fsync(folder.get());
    m_finished = true;
    return written;
}

void Extraction::undo()
{
    for (const File &file : m_files) {
        if (!file.temporary.empty())
            (void)::unlinkat(m_folders[file.folder].get(), file.temporary.c_str(), 0);
    }
    // Newest first, so that a folder made inside another goes before it. One that holds anything
    // (a file renamed into place before a failure) stays.
    for (auto made = m_foldersMade.rbegin(); made != m_foldersMade.rend(); ++made)
        (void)::unlinkat(m_folders[made->first].get(), made->second.c_str(), AT_REMOVEDIR);
    for (const QString &folder : std::as_const(m_rootsMade))
        QDir().rmdir(folder);
}

Result<QStringList> extractChecked(const CheckedPackage &package, const QString &folder)
{
    Extraction extraction(folder);
    VELMORA_TRY(extraction.openRoot());
    VELMORA_TRY(extraction.prepare(package.entries));
    VELMORA_TRY(extraction.write(package.bytes));
    return extraction.finish();
}

bool isSkinName(const QString &path)
{
    return path.endsWith(QStringLiteral(".skin"), Qt::CaseInsensitive);
}

Result<QStringList> extractFiles(const QString &path, const QString &folder, bool needSkin)
{
    try {
        VELMORA_TRY_ASSIGN(const CheckedPackage package, readCheckedPackage(path));
        if (needSkin && std::none_of(package.entries.begin(), package.entries.end(),
                                     [](const Entry &entry) { return isSkinName(entry.relative); }))
            return fail(Error::unsupported(
                QCoreApplication::translate("PackageFiles", "%1: the package holds no .skin file")
                    .arg(path)));
        return extractChecked(package, folder);
    } catch (const std::bad_alloc &) {
        return fail(Error::io(
            QCoreApplication::translate("PackageFiles", "%1: not enough memory to take it apart")
                .arg(path)));
    }
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

Result<QStringList> extractPackage(const QString &path, const QString &folder)
{
    return extractFiles(path, folder, false);
}

Result<QString> extractSkinPackage(const QString &path, const QString &folder)
{
    VELMORA_TRY_ASSIGN(const QStringList written, extractFiles(path, folder, true));
    const auto skin = std::find_if(written.begin(), written.end(), isSkinName);
    if (skin == written.end())
        return fail(Error::unsupported(
            QCoreApplication::translate("PackageFiles", "%1: the package holds no .skin file")
                .arg(path)));
    return *skin;
}
