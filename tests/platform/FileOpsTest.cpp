#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

bool makeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(WriteFileAtomically, ReplacesTheWholeFileAndLeavesNoTemporaryFile)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = tmp.filePath(QStringLiteral("skin.ini"));
    ASSERT_TRUE(makeFile(path, QByteArray(4096, 'o')));

    const QByteArray shorter = "[Skin]\nName=Night\n";
    const Result<void> written = writeFileAtomically(path, shorter);
    ASSERT_TRUE(written.has_value()) << written.error().message.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), shorter) << "old bytes survived past the new end";
    EXPECT_EQ(entriesOf(tmp.path()), QStringList{QStringLiteral("skin.ini")});
}

TEST(WriteFileInPieces, WritesThePiecesInOrderOrLeavesTheOldFile)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("big.svg"));
    ASSERT_TRUE(makeFile(path, "old"));
    const auto pieces = [](int count) {
        return [count](const PieceSink &write) {
            for (int i = 0; i < count; ++i) {
                if (!write(QByteArray(100000, char('a' + i))))
                    return false;
            }
            return true;
        };
    };
    ASSERT_TRUE(writeFileInPieces(path, pieces(3)).has_value());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray(100000, 'a') + QByteArray(100000, 'b') + QByteArray(100000, 'c'));
    file.close();
    // Giving up half-way replaces nothing and leaves nothing behind.
    const auto failed =
        writeFileInPieces(path, [](const PieceSink &write) { return write("half") && false; });
    ASSERT_FALSE(failed.has_value());
    EXPECT_TRUE(failed.error().message.startsWith(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().size(), 300000);
    EXPECT_EQ(entriesOf(tmp.path()), QStringList{QStringLiteral("big.svg")});
}

TEST(WriteFileAtomically, FailureNamesThePathAndCreatesNothing)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = tmp.filePath(QStringLiteral("missing/skin.ini"));
    const Result<void> written = writeFileAtomically(path, "data");
    ASSERT_FALSE(written.has_value());
    EXPECT_EQ(written.error().kind, Error::Kind::Io);
    EXPECT_TRUE(written.error().message.contains(path)) << written.error().message.toStdString();
    EXPECT_TRUE(entriesOf(tmp.path()).isEmpty());
}

TEST(ReadWholeFile, MissingFileIsAnErrorNamingIt)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = tmp.filePath(QStringLiteral("absent.bin"));
    const Result<QByteArray> read = readWholeFile(path);
    ASSERT_FALSE(read.has_value());
    EXPECT_EQ(read.error().kind, Error::Kind::Io);
    EXPECT_TRUE(read.error().message.contains(path)) << read.error().message.toStdString();
}

TEST(ReadWholeFile, LimitIsInclusiveAndEmptyFilesAreFine)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = tmp.filePath(QStringLiteral("ten.bin"));
    const QByteArray ten = "0123456789";
    ASSERT_TRUE(makeFile(path, ten));

    const Result<QByteArray> tooLarge = readWholeFile(path, 9);
    ASSERT_FALSE(tooLarge.has_value());
    EXPECT_TRUE(tooLarge.error().message.contains(path));

    const Result<QByteArray> atLimit = readWholeFile(path, 10);
    ASSERT_TRUE(atLimit.has_value()) << atLimit.error().message.toStdString();
    EXPECT_EQ(*atLimit, ten);

    const QString emptyPath = tmp.filePath(QStringLiteral("empty.bin"));
    ASSERT_TRUE(makeFile(emptyPath, {}));
    const Result<QByteArray> empty = readWholeFile(emptyPath, 0);
    ASSERT_TRUE(empty.has_value()) << empty.error().message.toStdString();
    EXPECT_TRUE(empty->isEmpty());
}

// A FIFO would block the reader until someone writes to it, and a device may never end: both
// are refused before they are opened, as is a folder.
TEST(ReadWholeFile, RefusesAtOnceWhatIsNotARegularFile)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString fifo = tmp.filePath(QStringLiteral("pipe.skin"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::pair<QString, QString> cases[] = {
        {fifo, QStringLiteral(": not a regular file")},
        {QStringLiteral("/dev/zero"), QStringLiteral(": not a regular file")},
        {tmp.path(), QStringLiteral(": is a folder, not a file")},
    };
    for (const auto &[path, why] : cases) {
        const Result<QByteArray> read = readWholeFile(path);
        ASSERT_FALSE(read.has_value()) << path.toStdString();
        EXPECT_EQ(read.error().message, path + why);
    }
}

TEST(WriteFileAtomically, FollowsLinksAndRefusesReadOnlyFiles)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString target = tmp.filePath(QStringLiteral("real.skin"));
    const QString link = tmp.filePath(QStringLiteral("link.skin"));
    ASSERT_TRUE(makeFile(target, "old"));
    ASSERT_TRUE(QFile::link(QStringLiteral("real.skin"), link));
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readWholeFile(target).value(), QByteArray("new"));

    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const Result<void> refused = writeFileAtomically(link, "newer");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().message, link + QStringLiteral(": the file is read-only"));
    EXPECT_EQ(readWholeFile(target).value(), QByteArray("new"));
}

TEST(FindFileIgnoringCase, FindsTheFileWhoseNameDiffersOnlyInCase)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QDir dir(tmp.path());
    for (const char *name : {"Skin.MIF", "exact.mbm", "EXACT.MBM", "b.MBM", "B.mbm"})
        ASSERT_TRUE(makeFile(dir.filePath(QString::fromLatin1(name)), "x"));
    ASSERT_TRUE(makeFile(dir.filePath(QStringLiteral("Фон.JPG")), "x"));
    // A folder is not the file asked for.
    ASSERT_TRUE(dir.mkdir(QStringLiteral("pictures.MBM")));

    using platform::findFileIgnoringCase;
    EXPECT_EQ(findFileIgnoringCase(dir.filePath(QStringLiteral("skin.mif"))),
              dir.filePath(QStringLiteral("Skin.MIF")));
    // An existing name is kept, even with others matching it in another case.
    EXPECT_EQ(findFileIgnoringCase(dir.filePath(QStringLiteral("exact.mbm"))),
              dir.filePath(QStringLiteral("exact.mbm")));
    // Several matches and none exact: the first in sorted order, upper case before lower.
    EXPECT_EQ(findFileIgnoringCase(dir.filePath(QStringLiteral("b.mbm"))),
              dir.filePath(QStringLiteral("B.mbm")));
    EXPECT_EQ(findFileIgnoringCase(dir.filePath(QStringLiteral("фон.jpg"))),
              dir.filePath(QStringLiteral("Фон.JPG")));
    // The folder part is left as the caller spelt it.
    EXPECT_EQ(findFileIgnoringCase(tmp.path() + QStringLiteral("/./SKIN.mif")),
              tmp.path() + QStringLiteral("/./Skin.MIF"));
    // Missing: the name asked for comes back, to be reported as missing.
    for (const char *name : {"absent.mif", "PICTURES.mbm", "skin.mi"}) {
        const QString asked = dir.filePath(QString::fromLatin1(name));
        EXPECT_EQ(findFileIgnoringCase(asked), asked);
    }
    const QString inMissingFolder = dir.filePath(QStringLiteral("gone/skin.mif"));
    EXPECT_EQ(findFileIgnoringCase(inMissingFolder), inMissingFolder);
}

} // namespace
