#include "platform/FileOps.h"

#include "platform/SafeWrite.h"
#include "platform/SystemReason.h"

#include <QFile>

#include <cerrno>
#include <span>

// The same replacement the converter and the package tools use, so symbolic links, read-only
// files and a full disk are handled alike everywhere.
namespace {

Result<void> fromSafeWrite(const QString &path, const std::string &name,
                           const velmora::safewrite::Result &written)
{
    if (written)
        return {};
    // The message starts with the name as given; the reason after it is the system's.
    const std::string &message = written.error();
    const QString reason = QString::fromLocal8Bit(
        message.substr(message.starts_with(name + ": ") ? name.size() + 2 : 0));
    return fail(Error::io(QStringLiteral("%1: %2").arg(path, platform::readableReason(reason))));
}

} // namespace

Result<void> writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const std::string name = QFile::encodeName(path).toStdString();
    const std::span data(reinterpret_cast<const unsigned char *>(bytes.constData()),
                         std::size_t(bytes.size()));
    return fromSafeWrite(path, name, velmora::safewrite::replaceFile(name, data));
}

Result<void> writeFileInPieces(const QString &path,
                               const std::function<bool(const PieceSink &)> &produce)
{
    namespace safewrite = velmora::safewrite;
    const std::string name = QFile::encodeName(path).toStdString();
    auto pending = safewrite::prepareFile(name, [&](const safewrite::PieceWriter &write) {
        return produce([&write](QByteArrayView piece) {
            return write(std::span(reinterpret_cast<const unsigned char *>(piece.data()),
                                   std::size_t(piece.size())));
        });
    });
    if (!pending)
        return fromSafeWrite(path, name, std::unexpected(pending.error()));
    return fromSafeWrite(path, name, pending->commit());
}

struct FileBatch::Pending
{
    QString target;
    std::string name;
    velmora::safewrite::PendingFile file;
};

FileBatch::FileBatch() = default;
FileBatch::~FileBatch() = default;

Result<void> FileBatch::addCopyOf(const QString &source, const QString &target)
{
    namespace safewrite = velmora::safewrite;
    VELMORA_TRY(requireRegularFile(source));
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(Error::io(
            QStringLiteral("%1: %2").arg(source, platform::readableReason(in.errorString()))));
    const std::string name = QFile::encodeName(target).toStdString();
    bool readFailed = false;
    auto pending = safewrite::prepareFile(name, [&](const safewrite::PieceWriter &write) {
        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (;;) {
            const qint64 got = in.read(piece.data(), piece.size());
            if (got < 0) {
                readFailed = true;
                errno = EIO;
                return false;
            }
            if (got == 0)
                return true;
            if (!write(std::span(reinterpret_cast<const unsigned char *>(piece.constData()),
                                 std::size_t(got))))
                return false;
        }
    });
    if (readFailed)
        return fail(Error::io(
            QStringLiteral("%1: %2").arg(source, platform::readableReason(in.errorString()))));
    if (!pending)
        return fromSafeWrite(target, name, std::unexpected(pending.error()));
    m_files.push_back(std::make_unique<Pending>(target, name, std::move(*pending)));
    return {};
}

Result<void> FileBatch::commit()
{
    for (auto &pending : m_files) {
        VELMORA_TRY(fromSafeWrite(pending->target, pending->name, pending->file.commit()));
    }
    m_files.clear();
    return {};
}
