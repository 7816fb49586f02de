// velmora-cli export killed at any moment leaves a .skin and .mif that each are whole files of
// one save or the other. The .mif goes into place before the .skin, so a kill may leave the new
// .mif beside the old .skin but never the new .skin beside the old .mif.
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace {

struct Pair
{
    QByteArray skin;
    QByteArray mif;
};

class SavePairKills : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(runtime()));
        for (int generation = 0; generation < 2; ++generation) {
            QImage picture(240, 320, QImage::Format_RGB32);
            picture.fill(generation == 0 ? qRgb(200, 30, 30) : qRgb(30, 30, 200));
            ASSERT_TRUE(picture.save(background(generation)));
        }
    }
    QString runtime() const { return m_dir.filePath(QStringLiteral("runtime")); }
    QString background(int generation) const
    {
        return m_dir.filePath(QStringLiteral("bg%1.png").arg(generation));
    }
    void start(QProcess &cli, int generation, const QString &folder) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(VELMORA_PROGRAM_DIR "/velmora-cli"),
                  {QStringLiteral("export"), QStringLiteral("-o"), folder, QStringLiteral("--kind"),
                   QStringLiteral("skin+mif"), QStringLiteral("--name"), QStringLiteral("k"),
                   QStringLiteral("--background"), background(generation),
                   QStringLiteral("--copyright"), QStringLiteral("save %1").arg(generation)});
    }
    // One save run to its end, as the files it leaves are compared with.
    Pair complete(int generation, qint64 &took)
    {
        const QString folder = m_dir.filePath(QStringLiteral("whole%1").arg(generation));
        QProcess cli;
        QElapsedTimer clock;
        clock.start();
        start(cli, generation, folder);
        EXPECT_TRUE(cli.waitForFinished(120000));
        took = clock.nsecsElapsed() / 1000;
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        return {testfiles::read(folder + QStringLiteral("/k.skin")),
                testfiles::read(folder + QStringLiteral("/k.mif"))};
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SavePairKills, EveryPairLeftIsWholeAndTheSkinNeverGoesInFirst)
{
    qint64 took = 0;
    const std::array<Pair, 2> whole = {complete(0, took), complete(1, took)};
    ASSERT_NE(whole[0].skin, whole[1].skin);
    ASSERT_NE(whole[0].mif, whole[1].mif);
    const QString folder = m_dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const quint32 seed = QRandomGenerator::global()->generate();
    SCOPED_TRACE(seed);
    QRandomGenerator random(seed);
    constexpr int kRuns = 40;
    int mixed = 0;
    for (int run = 0; run < kRuns; ++run) {
        // Each run starts from the other save whole, so which file it reached is plain.
        const int generation = (run + 1) % 2;
        const Pair &before = whole[1 - generation];
        ASSERT_TRUE(testfiles::write(folder + QStringLiteral("/k.skin"), before.skin));
        ASSERT_TRUE(testfiles::write(folder + QStringLiteral("/k.mif"), before.mif));
        QProcess cli;
        start(cli, generation, folder);
        ASSERT_TRUE(cli.waitForStarted(30000));
        // Anywhere in the run: from its start-up to past its last rename.
        QThread::usleep(random.bounded(quint32(took + took / 4)));
        ::kill(pid_t(cli.processId()), SIGKILL);
        ASSERT_TRUE(cli.waitForFinished(30000));
        const QByteArray skin = testfiles::read(folder + QStringLiteral("/k.skin"));
        const QByteArray mif = testfiles::read(folder + QStringLiteral("/k.mif"));
        const int skinSave = skin == whole[0].skin ? 0 : skin == whole[1].skin ? 1 : -1;
        const int mifSave = mif == whole[0].mif ? 0 : mif == whole[1].mif ? 1 : -1;
        ASSERT_GE(skinSave, 0) << "run " << run << ": the .skin is no whole save";
        ASSERT_GE(mifSave, 0) << "run " << run << ": the .mif is no whole save";
        EXPECT_FALSE(skinSave == generation && mifSave != generation)
            << "run " << run << ": the new .skin went in before its .mif";
        mixed += skinSave != mifSave ? 1 : 0;
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        EXPECT_LE(left.size(), 4) << "temporaries pile up: " << left.join(u' ').toStdString();
    }
    RecordProperty("mixed_pairs", mixed);
    std::printf("mixed pairs: %d of %d kills\n", mixed, kRuns);
}
