#include "platform/Association.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class Freedesktop : public ::testing::Test
{
protected:
    FreedesktopPlaces places() const
    {
        return {m_dir.filePath(QStringLiteral("data")),
                m_dir.filePath(QStringLiteral("config")),
                {m_dir.filePath(QStringLiteral("system/data"))},
                {m_dir.filePath(QStringLiteral("system/config"))}};
    }
    QString mimeapps() const { return m_dir.filePath(QStringLiteral("config/mimeapps.list")); }
    QString entry() const
    {
        return m_dir.filePath(QStringLiteral("data/applications/velmora-open-skin.desktop"));
    }
    QString package() const
    {
        return m_dir.filePath(QStringLiteral("data/mime/packages/velmora-skin.xml"));
    }
    std::unique_ptr<AssociationStore> store(const QString &program = kProgram) const
    {
        return makeFreedesktopAssociation(places(), program);
    }

    static inline const QString kProgram = QStringLiteral("/opt/velmora/bin/velmora");
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Freedesktop, AssociatingOverAnotherProgramAndRemovingGivesItBack)
{
    ASSERT_TRUE(writeFile(mimeapps(), "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                      "[Default Applications]\n"
                                      "application/x-tolvoicq-skin=other.desktop;\n"
                                      "image/png=eog.desktop\n"));
    auto association = store();
    EXPECT_FALSE(association->IsAssociated());
    ASSERT_TRUE(association->Associate());
    EXPECT_TRUE(association->IsAssociated());
    const AssociationState state = association->state();
    EXPECT_EQ(state.currentHandler, kOpenSkinEntry);
    EXPECT_EQ(state.backup, QStringLiteral("other.desktop"));
    const QByteArray desktop = readFile(entry());
    EXPECT_TRUE(desktop.contains("Exec=/opt/velmora/bin/velmora %f\n")) << "a plain path unquoted";
    EXPECT_TRUE(desktop.contains("NoDisplay=true\n"));
    EXPECT_TRUE(desktop.contains("MimeType=application/x-tolvoicq-skin;\n"));
    EXPECT_TRUE(readFile(package()).contains("<glob pattern=\"*.skin\"/>"));

    ASSERT_TRUE(association->Unassociate());
    EXPECT_FALSE(association->IsAssociated());
    EXPECT_EQ(readFile(mimeapps()), "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                    "[Default Applications]\n"
                                    "application/x-tolvoicq-skin=other.desktop;\n"
                                    "image/png=eog.desktop\n")
        << "every other line stays as it was";
    EXPECT_FALSE(QFile::exists(entry()));
    EXPECT_TRUE(QFile::exists(package())) << "the type was there before";
}

TEST_F(Freedesktop, RemovingGivesBackTheWholeListOfHandlersAsItWas)
{
    const QByteArray before = "[Default Applications]\n"
                              "application/x-tolvoicq-skin=other.desktop;second.desktop;\n";
    ASSERT_TRUE(writeFile(mimeapps(), before));
    auto association = store();
    ASSERT_TRUE(association->Associate());
    EXPECT_EQ(association->state().backup, QStringLiteral("other.desktop;second.desktop"));
    EXPECT_TRUE(readFile(mimeapps()).contains("x-tolvoicq-skin=velmora-open-skin.desktop;\n"));
    ASSERT_TRUE(association->Unassociate());
    EXPECT_EQ(readFile(mimeapps()), before) << "the fallback handler is kept";

    // A list written without its closing ';' comes back as it was written, too.
    const QByteArray bare =
        "[Default Applications]\napplication/x-tolvoicq-skin=a.desktop;b.desktop\n";
    ASSERT_TRUE(writeFile(mimeapps(), bare));
    ASSERT_TRUE(association->Associate());
    ASSERT_TRUE(association->Unassociate());
    EXPECT_EQ(readFile(mimeapps()), bare);
}

// On an installed system the package's own entry takes .skin files with no default set: that
// is what opens them, what show names, and what association keeps and gives back.
TEST_F(Freedesktop, TheDesktopsOwnPickIsTheHandlerAndTheBackup)
{
    const QString installed =
        m_dir.filePath(QStringLiteral("system/data/applications/velmora.desktop"));
    ASSERT_TRUE(writeFile(installed, "[Desktop Entry]\nType=Application\nName=V\n"
                                     "MimeType=text/x-other;application/x-tolvoicq-skin;\n"));
    auto association = store();
    AssociationState state = association->state();
    EXPECT_EQ(state.currentHandler, QStringLiteral("velmora.desktop"));
    EXPECT_EQ(state.handlerSource, installed);

    // A system-wide default wins over the installed programs' own claims.
    const QString systemList = m_dir.filePath(QStringLiteral("system/config/mimeapps.list"));
    ASSERT_TRUE(writeFile(m_dir.filePath(QStringLiteral("system/data/applications/other.desktop")),
                          "[Desktop Entry]\nType=Application\nName=O\n"));
    ASSERT_TRUE(writeFile(systemList, "[Default Applications]\n"
                                      "application/x-tolvoicq-skin=gone.desktop;other.desktop;\n"));
    state = association->state();
    EXPECT_EQ(state.currentHandler, QStringLiteral("other.desktop"))
        << "gone.desktop is not installed";
    EXPECT_EQ(state.handlerSource, systemList);

    ASSERT_TRUE(association->Associate());
    EXPECT_EQ(association->state().backup, QStringLiteral("other.desktop"));
    EXPECT_EQ(association->state().currentHandler, kOpenSkinEntry);
    EXPECT_EQ(association->state().handlerSource, mimeapps());
    ASSERT_TRUE(association->Unassociate());
    EXPECT_EQ(association->state().currentHandler, QStringLiteral("other.desktop"));
}

// With nothing to give back, removing leaves no empty group, and no file, of its own making.
TEST_F(Freedesktop, RemovingLeavesNothingItMadeThatServesNothing)
{
    auto association = store();
    ASSERT_TRUE(association->Associate());
    ASSERT_TRUE(association->Unassociate());
    EXPECT_FALSE(QFile::exists(mimeapps()));

    ASSERT_TRUE(writeFile(mimeapps(), "[Added Associations]\ntext/plain=gedit.desktop;\n"));
    ASSERT_TRUE(association->Associate());
    ASSERT_TRUE(association->Unassociate());
    EXPECT_EQ(readFile(mimeapps()), "[Added Associations]\ntext/plain=gedit.desktop;\n");
}

TEST_F(Freedesktop, AssociatingWithoutADefaultSavesAnEmptyBackupAndRemovingKeepsTheType)
{
    auto association = store();
    ASSERT_TRUE(association->Associate());
    EXPECT_EQ(association->state().backup, QString());
    EXPECT_TRUE(
        readFile(mimeapps())
            .contains("[Default "
                      "Applications]\napplication/x-tolvoicq-skin=velmora-open-skin.desktop;\n"));
    ASSERT_TRUE(association->Unassociate());
    EXPECT_EQ(association->state().currentHandler, QString());
    EXPECT_FALSE(readFile(mimeapps()).contains("x-tolvoicq-skin"));
    EXPECT_TRUE(QFile::exists(package()));
}

TEST_F(Freedesktop, AssociatingTwiceKeepsTheFirstBackup)
{
    ASSERT_TRUE(writeFile(mimeapps(), "[Default Applications]\n"
                                      "application/x-tolvoicq-skin=other.desktop\n"));
    // An entry counts as the handler only while it is installed.
    ASSERT_TRUE(writeFile(m_dir.filePath(QStringLiteral("data/applications/other.desktop")),
                          "[Desktop Entry]\nType=Application\nName=O\n"));
    auto association = store();
    ASSERT_TRUE(association->Associate());
    ASSERT_TRUE(association->Associate());
    EXPECT_EQ(association->state().backup, QStringLiteral("other.desktop"));
    ASSERT_TRUE(association->Unassociate());
    EXPECT_EQ(association->state().currentHandler, QStringLiteral("other.desktop"));
}

TEST_F(Freedesktop, RemovingWhatWasNeverMadeTakesTheTypeAway)
{
    ASSERT_TRUE(writeFile(package(), "<mime-info/>"));
    auto association = store();
    ASSERT_TRUE(association->Unassociate());
    EXPECT_FALSE(QFile::exists(package()));
    EXPECT_FALSE(association->state().backup.has_value());
}

TEST_F(Freedesktop, AMovedProgramIsNotAssociatedUntilAssociatedAgain)
{
    ASSERT_TRUE(store()->Associate());
    auto moved = store(QStringLiteral("/home/u/velmora copy/bin/velmora"));
    EXPECT_FALSE(moved->IsAssociated());
    ASSERT_TRUE(moved->Associate());
    EXPECT_TRUE(moved->IsAssociated());
    EXPECT_FALSE(store()->IsAssociated());
    EXPECT_TRUE(readFile(entry()).contains("Exec=\"/home/u/velmora copy/bin/velmora\" %f"));
    EXPECT_EQ(moved->state().backup, QString()) << "our own entry is never the backup";
}

TEST_F(Freedesktop, ExecQuotesWhatTheDesktopWouldReadOtherwise)
{
    ASSERT_TRUE(store(QStringLiteral("/a \"b\"/$c/100%/d\\e"))->Associate());
    EXPECT_TRUE(
        readFile(entry()).contains("Exec=\"/a \\\\\"b\\\\\"/\\\\$c/100%%/d\\\\\\\\e\" %f\n"));
}

TEST_F(Freedesktop, AnUnwritableConfigFolderIsAnErrorNamingTheFile)
{
    // A file where the folder should be: nothing can be written below it.
    ASSERT_TRUE(writeFile(m_dir.filePath(QStringLiteral("config")), "x"));
    auto association = store();
    const auto made = association->Associate();
    ASSERT_FALSE(made);
    EXPECT_TRUE(made.error().message.contains(m_dir.filePath(QStringLiteral("config"))))
        << made.error().message.toStdString();
}

TEST(RegistryKeyLogic, FollowsTheKeysOfTheShell)
{
    MemoryRegistry registry;
    ASSERT_TRUE(registry.setValue(QStringLiteral(".skin"), QString(), QStringLiteral("Other")));
    auto association = makeRegistryAssociation(registry, QStringLiteral("C:\\V\\velmora.exe"));
    EXPECT_FALSE(association->IsAssociated());
    ASSERT_TRUE(association->Associate());
    EXPECT_TRUE(association->IsAssociated());
    EXPECT_EQ(registry.value(QStringLiteral(".skin"), QStringLiteral("VelmoraForTolvoICQ.BackUp")),
              QStringLiteral("Other"));
    EXPECT_EQ(registry.value(QStringLiteral("VelmoraForTolvoICQ\\shell\\open\\command"), QString()),
              QStringLiteral("\"C:\\V\\velmora.exe\" \"%1\""));
    EXPECT_EQ(registry.value(QStringLiteral("VelmoraForTolvoICQ\\defaulticon"), QString()),
              QStringLiteral("\"C:\\V\\velmora.exe\", 0"));
    // Associating again writes no backup of ourselves.
    ASSERT_TRUE(association->Associate());
    EXPECT_EQ(association->state().backup, QStringLiteral("Other"));

    ASSERT_TRUE(association->Unassociate());
    EXPECT_EQ(registry.value(QStringLiteral(".skin"), QString()), QStringLiteral("Other"));
    EXPECT_FALSE(registry.hasKey(QStringLiteral("VelmoraForTolvoICQ\\shell\\open\\command")));
    EXPECT_FALSE(registry.hasKey(QStringLiteral("VelmoraForTolvoICQ")));
    EXPECT_FALSE(makeRegistryAssociation(registry, QStringLiteral("C:\\Moved\\velmora.exe"))
                     ->IsAssociated());
}

TEST(RegistryKeyLogic, WithoutAPreviousHandlerTheBackupIsEmptyAndNoBackupRemovesTheType)
{
    MemoryRegistry registry;
    auto association = makeRegistryAssociation(registry, QStringLiteral("C:\\velmora.exe"));
    ASSERT_TRUE(association->Associate());
    EXPECT_EQ(association->state().backup, QString());
    ASSERT_TRUE(association->Unassociate());
    EXPECT_TRUE(registry.hasKey(QStringLiteral(".skin")));
    EXPECT_EQ(registry.value(QStringLiteral(".skin"), QString()), QString());

    MemoryRegistry fresh;
    ASSERT_TRUE(makeRegistryAssociation(fresh, QStringLiteral("C:\\velmora.exe"))->Unassociate());
    EXPECT_FALSE(fresh.hasKey(QStringLiteral(".skin")));
}
