// The program's own Russian translation, as the window loads it from the build's program folder:
// the detail lines under the window's messages, made in the lower layers in English, come out
// in Russian with it and stay English without it.

#include "TestFiles.h"
#include "WindowFixture.h"
#include "platform/SystemReason.h"
#include "ui/MainWindow.h"
#include "ui/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

struct Shown
{
    QString text;
    QString detail;
};

// The translation is installed only by the tests that ask for it and always removed again, so
// the other tests of this program keep reading English messages.
// The program folder is the window tests' own; the windows are made here, to see the details.
class ProgramTranslation : public WindowFixture
{
protected:
    void TearDown() override { removeTranslation(); }

    void installTranslation()
    {
        m_translator = installProgramTranslation(*QCoreApplication::instance(),
                                                 QStringLiteral(VELMORA_PROGRAM_DIR "/"));
        ASSERT_NE(m_translator, nullptr)
            << "translations/velmora_ru.qm is missing from " VELMORA_PROGRAM_DIR;
    }
    void removeTranslation()
    {
        if (!m_translator)
            return;
        QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
        m_translator = nullptr;
    }

    // Opens, in a fresh window, a skin that ends inside its colours and whose .mif is missing;
    // returns what the window showed.
    QList<Shown> openCutSkin()
    {
        QList<Shown> shown;
        [&] {
            ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString();
            ASSERT_TRUE(m_skins.isValid());
            ASSERT_TRUE(testfiles::write(cutSkin(), QByteArray(5, '\x7F')));
            MainWindow form(s_dir->path() + u'/', QString(),
                            [&](const QString &, const QString &text, const QString &detail) {
                                shown.append({text, detail});
                            });
            ASSERT_FALSE(form.startupFailed());
            form.openSkin(cutSkin());
        }();
        return shown;
    }
    QString cutSkin() const { return m_skins.filePath(QStringLiteral("cut.skin")); }
    QString missingMif() const { return m_skins.filePath(QStringLiteral("default.mif")); }

    QTemporaryDir m_skins;
    QTranslator *m_translator = nullptr;
};

} // namespace

TEST_F(ProgramTranslation, WindowShowsTheDetailsOfABrokenSkinInRussian)
{
    installTranslation();
    const QList<Shown> shown = openCutSkin();
    ASSERT_EQ(shown.size(), 2);
    // The window's own texts were Russian before; now the lower layers' details are too, with
    // the file names put into the translated sentences.
    EXPECT_EQ(shown[0].text, QStringLiteral("Ошибка при загрузке скина!"));
    EXPECT_EQ(shown[0].detail,
              cutSkin() + QStringLiteral(": файл обрывается посреди записей цветов (на байте 5)"));
    EXPECT_EQ(shown[1].detail, missingMif() + QStringLiteral(": Нет такого файла или папки"));
}

TEST_F(ProgramTranslation, WithoutItTheDetailsStayEnglish)
{
    const QList<Shown> shown = openCutSkin();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].text, QStringLiteral("Ошибка при загрузке скина!"));
    EXPECT_EQ(shown[0].detail,
              cutSkin() + QStringLiteral(": the file ends inside the colour records (at byte 5)"));
    EXPECT_EQ(shown[1].detail, missingMif() + QStringLiteral(": No such file or directory"));
}

TEST_F(ProgramTranslation, AProgramFolderWithoutTheFileInstallsNothing)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    m_translator = installProgramTranslation(*QCoreApplication::instance(), empty.path() + u'/');
    EXPECT_EQ(m_translator, nullptr);
    EXPECT_EQ(QCoreApplication::translate("SkinFile", "%1: the folder cannot be created"),
              QStringLiteral("%1: the folder cannot be created"));
}

// The reasons come from Qt and the C library, so they are checked as those give them.
TEST_F(ProgramTranslation, SystemReasonsAreTranslatedWholeOrAsTheTailOfQtsOwnWords)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile missing(dir.filePath(QStringLiteral("absent.bin")));
    ASSERT_FALSE(missing.open(QIODevice::ReadOnly));
    const QString missingReason = missing.errorString();
    const QString qtWords = QStringLiteral("Process failed to start: Permission denied");
    ASSERT_EQ(platform::readableReason(missingReason), missingReason);
    ASSERT_EQ(platform::readableReason(qtWords), qtWords);

    installTranslation();
    EXPECT_EQ(platform::readableReason(missingReason),
              QStringLiteral("Нет такого файла или папки"));
    EXPECT_EQ(platform::readableReason(QStringLiteral("Permission denied")),
              QStringLiteral("Доступ запрещён"));
    EXPECT_EQ(platform::readableReason(qtWords),
              QStringLiteral("Process failed to start: Доступ запрещён"));
    // Only a whole reason, alone or after ": ", is one of the system's reasons.
    for (const QString &other :
         {QString(), QStringLiteral("Connection refused"), QStringLiteral("Permission denied."),
          QStringLiteral("NoPermission denied"), QStringLiteral(": Permission denied by the owner"),
          QStringLiteral("Нет такого файла или каталога")})
        EXPECT_EQ(platform::readableReason(other), other) << other.toStdString();
}

TEST_F(ProgramTranslation, ReasonsOfRealFailuresHaveTheirRussian)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile missing(dir.filePath(QStringLiteral("absent.bin")));
    ASSERT_FALSE(missing.open(QIODevice::ReadOnly));
    QFile folderAsFile(dir.path());
    ASSERT_FALSE(folderAsFile.open(QIODevice::ReadOnly));
    ASSERT_TRUE(testfiles::write(dir.filePath(QStringLiteral("plain.bin")), "x"));
    QFile belowAFile(dir.filePath(QStringLiteral("plain.bin/inner.bin")));
    ASSERT_FALSE(belowAFile.open(QIODevice::ReadOnly));

    installTranslation();
    for (const QFile *failed : {&missing, &folderAsFile, &belowAFile}) {
        const QString english = failed->errorString();
        const QString russian = platform::readableReason(english);
        EXPECT_NE(russian, english)
            << "no translation for Qt's \"" << english.toStdString() << "\"";
    }
}
