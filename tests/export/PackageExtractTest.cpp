// Taking a package's files out (sis extract, and opening a .sis in the designer): never through a
// link, all or nothing, and within the limits of a skin package.

#include "TestFiles.h"
#include "export/PackageFiles.h"
#include "export/SaveSkin.h"
#include "export/sis/Crypto.h"
#include "export/sis/Limits.h"
#include "export/sis/SisWriter.h"
#include "platform/WritablePlaces.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace sis = velmora::sis;

namespace {

struct Item
{
    std::u16string target;
    QByteArray contents;
    // When set, the file is junk that claims to inflate to this many bytes: enough of it that
    // the claim is one deflate could make, so only the limits can refuse it.
    std::uint64_t declaredSize = 0;
    std::uint32_t operation = sis::OpInstall;
};

sis::Bytes bytesOf(const QByteArray &bytes)
{
    return sis::Bytes(bytes.begin(), bytes.end());
}

sis::Bytes junkClaiming(std::uint64_t size, sis::FileDescription &file)
{
    const sis::Bytes payload(size / 1000 + 16, 0x5A);
    sis::Bytes data;
    sis::appendU32(data, static_cast<std::uint32_t>(sis::Compression::Deflate));
    sis::appendU64(data, size);
    sis::appendBytes(data, payload);
    file.hash.assign(20, 0);
    file.length = payload.size();
    file.uncompressedLength = size;
    return sis::encodeField(sis::FieldType::Compressed, data);
}

sis::Bytes stored(const QByteArray &contents, sis::FileDescription &file)
{
    const sis::Bytes raw = bytesOf(contents);
    auto compressed = sis::encodeCompressed(raw, true);
    const auto digest = sis::sha1(raw);
    file.hash.assign(digest.begin(), digest.end());
    file.length = compressed->payloadSize;
    file.uncompressedLength = raw.size();
    return std::move(compressed->field);
}

// An unsigned package of the items, in their order.
QByteArray packageOf(const std::vector<Item> &items)
{
    sis::Controller controller;
    controller.languages = {1};
    controller.info.uid = 0xE1234567;
    controller.info.names = {u"Test"};
    controller.info.vendorNames = {u"Velmora"};
    controller.info.vendorUniqueName = u"Velmora";
    std::vector<sis::Bytes> data;
    for (const Item &item : items) {
        sis::FileDescription file;
        file.target = item.target;
        file.operation = item.operation;
        file.fileIndex = static_cast<std::uint32_t>(data.size());
        data.push_back(item.declaredSize ? junkClaiming(item.declaredSize, file)
                                         : stored(item.contents, file));
        controller.installBlock.files.push_back(std::move(file));
    }
    auto compressed = sis::encodeCompressed(sis::encodeController(controller), true);
    const sis::Bytes file =
        sis::assemblePackage(controller.info.uid, compressed->field, sis::encodeData({data}));
    return QByteArray(reinterpret_cast<const char *>(file.data()), qsizetype(file.size()));
}

class Extract : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString dir(const QString &name = {}) const
    {
        return name.isEmpty() ? path(QStringLiteral("dir")) : path(QStringLiteral("dir/") + name);
    }
    QString package(const std::vector<Item> &items)
    {
        const QString file = path(QStringLiteral("package.sis"));
        EXPECT_TRUE(testfiles::write(file, packageOf(items)));
        return file;
    }
    // Every entry under folder, links and folders too, relative to it.
    static QStringList entriesUnder(const QString &folder)
    {
        QStringList found;
        QDirIterator it(folder,
                        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(QDir(folder).relativeFilePath(it.next()));
        found.sort();
        return found;
    }

    QTemporaryDir m_dir;
};

const QByteArray kOriginal = "the file outside, as it was";

} // namespace

TEST_F(Extract, NeverWritesThroughALinkOnTheWayOrAtTheName)
{
    const QString outside = path(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(testfiles::write(outside + QStringLiteral("/x.txt"), kOriginal));
    const QString pkg = package({{u"!:\\data\\x.txt", "from the package"},
                                 {u"!:\\data\\deep\\y.txt", "also from the package"}});

    // A folder on the way is a link to a folder outside.
    ASSERT_TRUE(QDir().mkpath(dir()));
    ASSERT_TRUE(QFile::link(outside, dir(QStringLiteral("data"))));
    auto refused = extractPackage(pkg, dir());
    ASSERT_FALSE(refused.has_value());
    EXPECT_TRUE(refused.error().message.contains(dir(QStringLiteral("data"))))
        << refused.error().message.toStdString();
    EXPECT_TRUE(refused.error().message.contains(QStringLiteral("symbolic link")));
    EXPECT_EQ(testfiles::read(outside + QStringLiteral("/x.txt")), kOriginal);
    EXPECT_EQ(entriesUnder(outside), QStringList{QStringLiteral("x.txt")});

    // The file's own name is a link to a file outside, or to one that does not exist yet.
    ASSERT_TRUE(QFile::remove(dir(QStringLiteral("data"))));
    ASSERT_TRUE(QDir().mkpath(dir(QStringLiteral("data"))));
    for (const QString &linked : {QStringLiteral("/x.txt"), QStringLiteral("/new.txt")}) {
        QFile::remove(dir(QStringLiteral("data/x.txt")));
        ASSERT_TRUE(QFile::link(outside + linked, dir(QStringLiteral("data/x.txt"))));
        refused = extractPackage(pkg, dir());
        ASSERT_FALSE(refused.has_value()) << linked.toStdString();
        EXPECT_TRUE(refused.error().message.contains(dir(QStringLiteral("data/x.txt"))))
            << refused.error().message.toStdString();
        EXPECT_TRUE(refused.error().message.contains(QStringLiteral("symbolic link")));
        EXPECT_EQ(testfiles::read(outside + QStringLiteral("/x.txt")), kOriginal);
        EXPECT_EQ(entriesUnder(outside), QStringList{QStringLiteral("x.txt")});
        // Nothing of the package is left behind either: no file, no temporary, no folder made.
        EXPECT_EQ(entriesUnder(dir()),
                  (QStringList{QStringLiteral("data"), QStringLiteral("data/x.txt")}));
    }

    // The designer's "open a .sis" takes the same way.
    const QString skinPkg = package({{u"!:\\data\\x.skin", "skin"}});
    QFile::remove(dir(QStringLiteral("data/x.skin")));
    ASSERT_TRUE(
        QFile::link(outside + QStringLiteral("/x.txt"), dir(QStringLiteral("data/x.skin"))));
    const auto opened = extractSkinPackage(skinPkg, dir());
    ASSERT_FALSE(opened.has_value());
    EXPECT_TRUE(opened.error().message.contains(QStringLiteral("symbolic link")));
    EXPECT_EQ(testfiles::read(outside + QStringLiteral("/x.txt")), kOriginal);
}

TEST_F(Extract, WritesEveryFileOrNone)
{
    ASSERT_TRUE(testfiles::write(dir(QStringLiteral("keep/one.txt")), "old one"));
    const QByteArray large(256 * 1024, 'L');
    const QString pkg = package({{u"!:\\keep\\one.txt", "new one"},
                                 {u"!:\\made\\two.txt", "two"},
                                 {u"!:\\made\\inner\\three.txt", large}});

    // The third file cannot be written: the first two are complete by then, and must not stay.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto failed = extractPackage(pkg, dir());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_FALSE(failed.has_value());
    EXPECT_TRUE(failed.error().message.contains(dir(QStringLiteral("made/inner/three.txt"))))
        << failed.error().message.toStdString();
    EXPECT_TRUE(failed.error().message.contains(QStringLiteral("File too large")))
        << failed.error().message.toStdString();
    EXPECT_EQ(testfiles::read(dir(QStringLiteral("keep/one.txt"))), "old one");
    // The temporaries and the folders this extraction made are gone; the one that was there
    // stays.
    EXPECT_EQ(entriesUnder(dir()),
              (QStringList{QStringLiteral("keep"), QStringLiteral("keep/one.txt")}));

    // Without the limit all three arrive, the old file replaced.
    const auto written = extractPackage(pkg, dir());
    ASSERT_TRUE(written.has_value()) << written.error().message.toStdString();
    EXPECT_EQ(*written,
              (QStringList{dir(QStringLiteral("keep/one.txt")), dir(QStringLiteral("made/two.txt")),
                           dir(QStringLiteral("made/inner/three.txt"))}));
    EXPECT_EQ(testfiles::read(dir(QStringLiteral("keep/one.txt"))), "new one");
    EXPECT_EQ(testfiles::read(dir(QStringLiteral("made/inner/three.txt"))), large);
    EXPECT_EQ(entriesUnder(dir()).size(), 6);
}

TEST_F(Extract, AFolderWhereAFileGoesIsRefusedBeforeAnythingIsWritten)
{
    // The first target's name is a folder the second one needs.
    const QString pkg =
        package({{u"!:\\a\\b", "a file named b"}, {u"!:\\a\\b\\c.txt", "a file under b"}});
    const auto refused = extractPackage(pkg, dir());
    ASSERT_FALSE(refused.has_value());
    EXPECT_TRUE(refused.error().message.contains(dir(QStringLiteral("a/b"))));
    EXPECT_FALSE(QFileInfo::exists(dir())) << entriesUnder(dir()).join(u' ').toStdString();
}

TEST_F(Extract, TwoTargetsNamingOneFileAreRefused)
{
    for (const char16_t *second : {u"!:\\Data\\X.TXT", u"c:\\data\\x.txt"}) {
        const QString pkg = package({{u"!:\\data\\x.txt", "first"}, {second, "second"}});
        const auto refused = extractPackage(pkg, dir());
        ASSERT_FALSE(refused.has_value());
        EXPECT_TRUE(refused.error().message.contains(QStringLiteral("\"!:\\data\\x.txt\"")));
        EXPECT_TRUE(refused.error().message.contains(QString::fromUtf16(second)))
            << refused.error().message.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir()));
    }
}

// The limits are judged from what the package declares: junk that would not even inflate is
// refused for its size, never for its contents, and before the folder is made.
TEST_F(Extract, APackageBeyondTheLimitsIsRefusedBeforeInflating)
{
    struct Case
    {
        const char *name;
        std::vector<Item> items;
        const char *says;
    };
    const std::uint64_t cap = sis::kMaxPackagedFileSize;
    std::vector<Item> many;
    for (std::size_t i = 0; i <= sis::kMaxPackagedFiles; ++i)
        many.push_back({u"!:\\f\\" + QString::number(i).toStdU16String(), "x"});
    const std::vector<Case> cases = {
        {"one file over its limit", {{u"!:\\a.mif", {}, cap + 1}}, "at most 256 MiB"},
        {"a text shown at install over the limit",
         {{u"", {}, cap + 1, sis::OpText}},
         "at most 256 MiB"},
        {"a gigabyte and a half",
         {{u"!:\\small.skin", "skin"}, {u"!:\\zeros.mif", {}, 1536u << 20}},
         "at most 256 MiB"},
        {"too much together",
         {{u"!:\\a", {}, cap}, {u"!:\\b", {}, cap}, {u"!:\\c", {}, 65u << 20}},
         "more than 576 MiB"},
        {"one file too many", many, "holds 65 files; a skin package holds at most 64"},
    };
    for (const Case &c : cases) {
        const auto refused = extractPackage(package(c.items), dir());
        ASSERT_FALSE(refused.has_value()) << c.name;
        EXPECT_TRUE(refused.error().message.contains(QString::fromLatin1(c.says)))
            << c.name << ": " << refused.error().message.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir())) << c.name;
    }
    // At the count limit the files are taken out.
    many.pop_back();
    const auto written = extractPackage(package(many), dir());
    ASSERT_TRUE(written.has_value()) << written.error().message.toStdString();
    EXPECT_EQ(written->size(), qsizetype(sis::kMaxPackagedFiles));
}

TEST_F(Extract, APackageWithoutASkinIsNotOpenedAsOne)
{
    const auto refused = extractSkinPackage(package({{u"!:\\data\\x.mif", "mif"}}), dir());
    ASSERT_FALSE(refused.has_value());
    EXPECT_TRUE(refused.error().message.contains(QStringLiteral("holds no .skin")));
    EXPECT_FALSE(QFileInfo::exists(dir()));
    const auto opened = extractSkinPackage(
        package({{u"!:\\data\\x.mif", "mif"}, {u"!:\\data\\X.Skin", "skin"}}), dir());
    ASSERT_TRUE(opened.has_value()) << opened.error().message.toStdString();
    EXPECT_EQ(*opened, dir(QStringLiteral("data/X.Skin")));
}

// The biggest package the save can make: an .mbm and a .mif each as large as a packaged file
// may be (the package tools refuse more), a .skin above any the writer makes, packed and signed
// by the build's own tools. It must come out whole.
TEST(ExtractLargest, TheLargestPackageTheSaveMakesIsTakenOut)
{
    QTemporaryDir stage;
    const std::uint64_t cap = sis::kMaxPackagedFileSize;
    const auto sparse = [&](const QString &name, std::uint64_t size) {
        QFile file(stage.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.resize(qint64(size));
    };
    ASSERT_TRUE(sparse(QStringLiteral("big.mif"), cap));
    ASSERT_TRUE(sparse(QStringLiteral("big.mbm"), cap));
    ASSERT_TRUE(
        testfiles::write(stage.filePath(QStringLiteral("big.skin")), QByteArray(1 << 20, 'S')));
    SaveRequest request;
    request.skinName = QStringLiteral("big.skin");
    request.mifName = QStringLiteral("big.mif");
    request.background.format = PictureFormat::Mbm;
    request.copyright = QString(4000, u'c');
    platform::ScratchFolder scratch;
    SaveEnvironment env;
    env.programFolder = QStringLiteral(VELMORA_PROGRAM_DIR "/");
    env.scratchFolder = scratch.path();
    QTemporaryDir out;
    const QString target = out.filePath(QStringLiteral("big.sis"));
    const auto built = BuildInstallPackage(request, stage.path(), target, env);
    ASSERT_TRUE(built.has_value()) << built.error().message.toStdString();

    const QString folder = out.filePath(QStringLiteral("taken"));
    const auto skin = extractSkinPackage(target, folder);
    ASSERT_TRUE(skin.has_value()) << skin.error().message.toStdString();
    const QString skins = folder + QStringLiteral("/System/Apps/tolvoICQ/skins/");
    EXPECT_EQ(*skin, skins + QStringLiteral("big.skin"));
    EXPECT_EQ(QFileInfo(skins + QStringLiteral("big.mif")).size(), qint64(cap));
    EXPECT_EQ(QFileInfo(skins + QStringLiteral("big.mbm")).size(), qint64(cap));
    EXPECT_EQ(testfiles::read(*skin), QByteArray(1 << 20, 'S'));
}
