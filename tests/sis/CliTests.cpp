// velmora-cli sis show / verify on packages built and signed by the library.

#include "SisTestSupport.h"

#include "cli/SisCommands.h"
#include "export/sis/Crypto.h"
#include "export/sis/Signer.h"
#include "export/sis/SisReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmora::sis;
using namespace sistest;

namespace {

struct CliRun
{
    int exitCode;
    QString out;
    QString err;
};

CliRun cli(const QStringList &args)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = runSisCommand(args, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

// A signed skin package and an unsigned one in a temporary folder.
struct Packages
{
    Packages()
    {
        const Bytes unsignedFile = buildSkinPackage(folder);
        auto key = loadPrivateKey(readAll(certFile("Velmora.key")), "kite408");
        auto certificate = loadCertificateFile(readAll(certFile("Velmora.cer")));
        auto signedFile = signPackage(unsignedFile, *certificate, *key);
        writeAll(folder.root / "skin.sis", unsignedFile);
        writeAll(folder.root / "skin.sisx", *signedFile);
        signedBytes = *signedFile;
    }
    QString path(const char *name) const { return qs(folder.root / name); }
    SkinFolder folder;
    Bytes signedBytes;
};

} // namespace

TEST(SisCli, ShowListsTheDescribedPackage)
{
    Packages packages;
    const CliRun text = cli({QStringLiteral("show"), packages.path("skin.sisx")});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("Package:   Tolvo MYSKIN\n")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("UID:       0xEB7A0591\n")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("Version:   0.6.5\n")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("Created:   2026-12-07 20:15:30 UTC\n")));
    EXPECT_TRUE(text.out.contains(
        QStringLiteral("1 install \"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mif\" 61440 bytes")))
        << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(
        QStringLiteral("1: RSA-SHA1 by CN=Velmora for TolvoICQ,O=Velmora,C=RU: verifies")));

    const CliRun json =
        cli({QStringLiteral("show"), packages.path("skin.sisx"), QStringLiteral("--json")});
    ASSERT_EQ(json.exitCode, 0);
    const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(root.value(QStringLiteral("name")).toString(), QStringLiteral("Tolvo MYSKIN"));
    EXPECT_EQ(root.value(QStringLiteral("uid")).toString(), QStringLiteral("0xEB7A0591"));
    EXPECT_EQ(root.value(QStringLiteral("vendor")).toString(), QStringLiteral("quenard"));
    EXPECT_EQ(root.value(QStringLiteral("type")).toString(), QStringLiteral("SP"));
    const QJsonArray devices = root.value(QStringLiteral("targetDevices")).toArray();
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0].toObject().value(QStringLiteral("uid")).toString(),
              QStringLiteral("0x101F7961"));
    const QJsonArray files = root.value(QStringLiteral("files")).toArray();
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files[0].toObject().value(QStringLiteral("operation")).toString(),
              QStringLiteral("text"));
    EXPECT_EQ(files[2].toObject().value(QStringLiteral("target")).toString(),
              QStringLiteral("!:\\System\\Apps\\tolvoICQ\\skins\\myskin.skin"));
    const QJsonArray chains = root.value(QStringLiteral("signatureChains")).toArray();
    ASSERT_EQ(chains.size(), 1);
    const QJsonObject signature =
        chains[0].toObject().value(QStringLiteral("signatures")).toArray()[0].toObject();
    EXPECT_TRUE(signature.value(QStringLiteral("valid")).toBool());
    EXPECT_TRUE(root.value(QStringLiteral("valid")).toBool());
}

TEST(SisCli, VerifyAcceptsOnlyWhatHoldsAndTheNamedCertificate)
{
    Packages packages;
    const QString velmoraCer = qs(certFile("Velmora.cer"));
    EXPECT_EQ(cli({QStringLiteral("verify"), packages.path("skin.sisx")}).exitCode, 0);
    EXPECT_EQ(cli({QStringLiteral("verify"), packages.path("skin.sisx"), velmoraCer}).exitCode, 0);
    EXPECT_EQ(cli({QStringLiteral("verify"), packages.path("skin.sis")}).exitCode, 0);

    const CliRun unsignedWithCert =
        cli({QStringLiteral("verify"), packages.path("skin.sis"), velmoraCer});
    EXPECT_EQ(unsignedWithCert.exitCode, 3) << "read, and a check found a problem";
    EXPECT_TRUE(unsignedWithCert.err.contains(QStringLiteral("no valid signature chain")));
    const CliRun otherCert = cli(
        {QStringLiteral("verify"), packages.path("skin.sisx"), qs(testData("rsa1024_cer.der"))});
    EXPECT_EQ(otherCert.exitCode, 3);

    // The .mif data damaged after signing: hash and data checksum fail.
    Bytes damaged = packages.signedBytes;
    auto package = readPackage(damaged);
    const FileDataRef &mif = package->dataUnits[0][1]; // stored, so the hash is what fails
    damaged[mif.payloadOffset + mif.payloadSize / 2] ^= 4;
    writeAll(packages.folder.root / "damaged.sisx", damaged);
    const CliRun broken = cli({QStringLiteral("verify"), packages.path("damaged.sisx")});
    EXPECT_EQ(broken.exitCode, 3);
    EXPECT_TRUE(broken.err.contains(QStringLiteral("data checksum"))) << broken.err.toStdString();
    EXPECT_TRUE(broken.err.contains(QStringLiteral("SHA-1"))) << broken.err.toStdString();

    const CliRun notAPackage = cli({QStringLiteral("verify"), velmoraCer});
    EXPECT_EQ(notAPackage.exitCode, 1);
    EXPECT_TRUE(notAPackage.err.contains(QStringLiteral("offset 0: UID1 is")));
    EXPECT_EQ(cli({QStringLiteral("verify")}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("frobnicate")}).exitCode, 2);
}

// verify uses the reader's checks: a target that leaves its drive fails the package by name, and
// a preinstalled package that stores no data holds.
TEST(SisCli, VerifyFailsATargetOutsideItsDriveAndAcceptsAPreinstalledPackageWithoutData)
{
    Packages packages;
    auto package = readPackage(packages.signedBytes);
    ASSERT_TRUE(package.has_value());
    const std::vector<std::u16string> targets = {u"..\\..\\sys\\bin\\evil.exe",
                                                 u"\\sys\\bin\\x.exe", u"x.exe",
                                                 u"!:\\private\\..\\..\\sys\\bin\\x.exe"};
    for (const std::u16string &target : targets) {
        Controller controller = package->controller;
        controller.installBlock.files[2].target = target;
        // Unsigned, so that only the target can be what fails.
        controller.chains.clear();
        writeAll(packages.folder.root / "evil.sis",
                 replaceController(packages.signedBytes, controller));
        const CliRun run = cli({QStringLiteral("verify"), packages.path("evil.sis")});
        EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(
            QStringLiteral("the target \"%1\"").arg(QString::fromStdU16String(target))))
            << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(QStringLiteral("ok")));
    }

    auto key = loadPrivateKey(readAll(certFile("Velmora.key")), "kite408");
    auto certificate = loadCertificateFile(readAll(certFile("Velmora.cer")));
    auto preinstalled =
        signPackage(packageStoringNoData(InstallPreinstalledApp), *certificate, *key);
    ASSERT_TRUE(preinstalled.has_value()) << preinstalled.error().message;
    writeAll(packages.folder.root / "preinstalled.sisx", *preinstalled);
    const CliRun run = cli({QStringLiteral("verify"), packages.path("preinstalled.sisx")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              packages.path("preinstalled.sisx") + QStringLiteral(": ok, 1 signature chain(s)\n"));
}

// Names and targets come from the package: an escape sequence or a direction mark in them is
// shown, never sent to the terminal, whichever command prints it.
TEST(SisCli, TextFromThePackageIsShownNotSentToTheTerminal)
{
    Packages packages;
    auto package = readPackage(packages.signedBytes);
    ASSERT_TRUE(package.has_value());
    Controller controller = package->controller;
    controller.info.names = {u"Evil\u202Ename"};
    controller.info.vendorUniqueName = u"\x1b]0;title\x07";
    controller.installBlock.files[1].target = u"!:\\data\\\x1b[31m.txt";
    controller.chains.clear();
    const Bytes evil = replaceController(packages.signedBytes, controller);
    writeAll(packages.folder.root / "evil.sis", evil);
    const auto clean = [](const QString &text) {
        for (const QChar c : text) {
            if (c == QChar(0x1b) || c == QChar(0x07) || c == QChar(0x202E))
                return false;
        }
        return true;
    };

    const CliRun text = cli({QStringLiteral("show"), packages.path("evil.sis")});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_TRUE(clean(text.out)) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("\"!:\\data\\\\x1b[31m.txt\"")))
        << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("Evil\\u202ename")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("\\x1b]0;title\\x07")));
    const CliRun json =
        cli({QStringLiteral("show"), packages.path("evil.sis"), QStringLiteral("--json")});
    ASSERT_EQ(json.exitCode, 0);
    EXPECT_TRUE(clean(json.out)) << json.out.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8())
                  .object()
                  .value(QStringLiteral("name"))
                  .toString(),
              QStringLiteral("Evil\\u202ename"));

    // The same target with its data damaged: verify names it in its complaint.
    Bytes damaged = evil;
    auto reread = readPackage(damaged);
    ASSERT_TRUE(reread.has_value());
    const FileDataRef &mif = reread->dataUnits[0][1];
    damaged[mif.payloadOffset + mif.payloadSize / 2] ^= 4;
    writeAll(packages.folder.root / "evil\x1b[2J.sis", damaged);
    const CliRun verified = cli({QStringLiteral("verify"), packages.path("evil\x1b[2J.sis")});
    EXPECT_EQ(verified.exitCode, 3) << "a check that found a problem";
    EXPECT_TRUE(clean(verified.err)) << verified.err.toStdString();
    EXPECT_TRUE(verified.err.contains(QStringLiteral("evil\\x1b[2J.sis: ")));
    EXPECT_TRUE(verified.err.contains(QStringLiteral("\\x1b[31m.txt")))
        << verified.err.toStdString();

    const CliRun extracted = cli({QStringLiteral("extract"), packages.path("evil.sis"),
                                  QStringLiteral("-o"), packages.path("out")});
    ASSERT_EQ(extracted.exitCode, 0) << extracted.err.toStdString();
    EXPECT_TRUE(clean(extracted.out));
    EXPECT_TRUE(extracted.out.contains(QStringLiteral("/data/\\x1b[31m.txt\n")));
}

TEST(SisCli, ExtractRefusesALinkInTheWayAndStatesItsLimits)
{
    Packages packages;
    const std::string outside = packages.folder.root / "outside";
    const std::string out = packages.folder.root / "out";
    std::filesystem::create_directories(outside);
    std::filesystem::create_directories(out + "/System/Apps");
    std::filesystem::create_directory_symlink(outside, out + "/System/Apps/tolvoICQ");
    const CliRun refused =
        cli({QStringLiteral("extract"), packages.path("skin.sisx"), QStringLiteral("-o"), qs(out)});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, QStringLiteral("velmora-cli: %1/System/Apps/tolvoICQ is a symbolic "
                                          "link; a package's files are never written through one\n")
                               .arg(qs(out)));
    EXPECT_TRUE(std::filesystem::is_empty(outside));

    const CliRun help = cli({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(
        help.out.contains(QStringLiteral("more than 64 files, a\n      file over 256 MiB, "
                                         "576 MiB in all, or a package file over 640 MiB.")))
        << help.out.toStdString();
}
