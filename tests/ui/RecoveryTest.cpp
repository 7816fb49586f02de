#include "TestFiles.h"
#include "WindowFixture.h"
#include "export/SaveSkin.h"
#include "startup/WorkJournal.h"
#include "ui/MainWindow.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Windows that keep their history in one data folder, started one after the other as the
// program would be.
class Recovery : public WindowFixture
{
protected:
    // A window on the data folder that answers the recovery question with answer.
    void startWith(bool answer)
    {
        form.reset();
        ASSERT_NO_FATAL_FAILURE(startWindow());
        form->setQuestionAsker([this, answer](const QString &text, const QString &detail) {
            questions.append(text);
            questionDetails.append(detail);
            return answer;
        });
        form->startJournal(m_data.path());
        ASSERT_NE(form->journal(), nullptr);
        ASSERT_TRUE(form->journal()->usable());
    }
    QString skinFile(const QString &name, quint8 red)
    {
        QByteArray bytes(60, '\0');
        bytes[0] = char(red);
        const QString path = s_dir->filePath(name);
        testfiles::write(path, bytes + QByteArray("\x01\x00m\x00", 4));
        return path;
    }

    void TearDown() override { form.reset(); }

    QTemporaryDir m_data;
    QStringList questions;
    QStringList questionDetails;
};

} // namespace

TEST_F(Recovery, WorkOfAKilledWindowIsOfferedAndComesBackExactly)
{
    ASSERT_NO_FATAL_FAILURE(startWith(true));
    EXPECT_TRUE(questions.isEmpty()) << "nothing to recover on a first start";
    form->document().setSlotColour(Slot::ChatMessage, makeColor(1, 2, 3));
    form->document().setSlotColour(Slot::MenuText, makeColor(4, 5, 6));
    form->document().history().stack().undo();
    const SkinState lost = form->document().state();
    // The window goes without "Выход", as a crash would take it.
    ASSERT_NO_FATAL_FAILURE(startWith(true));
    EXPECT_EQ(questions, QStringList{QStringLiteral("Восстановить несохранённую работу?")});
    // It names the skin and how many steps come back (one of the two was undone).
    EXPECT_EQ(questionDetails, QStringList{QStringLiteral("Скин «default.skin», шагов: 1.")});
    EXPECT_EQ(form->document().state(), lost);
    EXPECT_TRUE(form->skinModified()) << "recovered work is not saved";
    EXPECT_EQ(form->document().history().stack().count(), 2);
    form->document().history().stack().redo();
    EXPECT_EQ(form->document().slotColour(Slot::MenuText), makeColor(4, 5, 6));
}

TEST_F(Recovery, DecliningStartsAfreshAndIsNotAskedAgain)
{
    ASSERT_NO_FATAL_FAILURE(startWith(false));
    form->document().setSlotColour(Slot::ChatMessage, makeColor(1, 2, 3));
    ASSERT_NO_FATAL_FAILURE(startWith(false));
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(form->document().slotColour(Slot::ChatMessage), defaultSlotColour(Slot::ChatMessage));
    EXPECT_EQ(form->document().history().stack().count(), 0);
    ASSERT_NO_FATAL_FAILURE(startWith(false));
    EXPECT_EQ(questions.size(), 1) << "the declined work was replaced by a start without steps";
}

TEST_F(Recovery, AfterExitTheSameSkinOpensWithItsHistory)
{
    const QString skin = skinFile(QStringLiteral("kept.skin"), 150);
    const QString other = skinFile(QStringLiteral("other.skin"), 30);
    ASSERT_NO_FATAL_FAILURE(startWith(true));
    form->openSkin(skin);
    form->document().setSlotColour(Slot::ChatMessage, makeColor(9, 9, 9));
    form->document().setSlotColour(Slot::ChatMessage, makeColor(8, 8, 8));
    // Saved over the file it came from, then "Выход".
    SaveRequest request;
    request.skinName = QStringLiteral("kept.skin");
    ASSERT_TRUE(::writeSkin(form->document(), request, s_dir->path()).has_value());
    form->journal()->finish(QFileInfo(skin).absoluteFilePath());

    ASSERT_NO_FATAL_FAILURE(startWith(true));
    EXPECT_TRUE(questions.isEmpty()) << "a normal end leaves nothing to recover";
    // Another skin opens with a history of its own.
    form->openSkin(other);
    EXPECT_EQ(form->document().history().stack().count(), 1);
    form->openSkin(skin);
    QUndoStack &stack = form->document().history().stack();
    EXPECT_EQ(stack.count(), 3) << "the opening and both colour steps of the last session";
    EXPECT_EQ(stack.index(), 3);
    EXPECT_EQ(form->document().texts().skinFileName, QStringLiteral("kept.skin"));
    stack.undo();
    EXPECT_EQ(form->document().slotColour(Slot::ChatMessage), makeColor(9, 9, 9));
    stack.undo();
    EXPECT_EQ(form->document().slotColour(Slot::ChatMessage), defaultSlotColour(Slot::ChatMessage));
}

TEST_F(Recovery, AFileChangedSinceGetsNoOldHistory)
{
    const QString skin = skinFile(QStringLiteral("changed.skin"), 150);
    ASSERT_NO_FATAL_FAILURE(startWith(true));
    form->openSkin(skin);
    form->document().setSlotColour(Slot::ChatMessage, makeColor(9, 9, 9));
    form->journal()->finish(QFileInfo(skin).absoluteFilePath());
    // Not saved: the file still has its own colours, not the ones the history ended with.
    ASSERT_NO_FATAL_FAILURE(startWith(true));
    form->openSkin(skin);
    EXPECT_EQ(form->document().history().stack().count(), 1);
    EXPECT_EQ(form->document().slotColour(Slot::ChatMessage), defaultSlotColour(Slot::ChatMessage));
}

TEST_F(Recovery, ADamagedJournalIsSaidAndKeptAside)
{
    ASSERT_NO_FATAL_FAILURE(startWith(true));
    form->document().setSlotColour(Slot::ChatMessage, makeColor(1, 2, 3));
    const SkinState lost = form->document().state();
    const QString journal = form->journal()->journalPath();
    form.reset();
    QByteArray bytes = testfiles::read(journal);
    bytes[1] = char(bytes[1] ^ 0x10);
    testfiles::write(journal, bytes);
    ASSERT_NO_FATAL_FAILURE(startWith(true));
    ASSERT_EQ(questionDetails.size(), 1);
    EXPECT_TRUE(questionDetails.first().contains(QStringLiteral("Журнал был повреждён")))
        << questionDetails.first().toStdString();
    EXPECT_EQ(form->document().state(), lost) << "what the damage spared comes back";

    // A journal with nothing readable left: the window says so and where the copy is.
    form.reset();
    testfiles::write(journal, QByteArray(4096, 'x'));
    messages.clear();
    ASSERT_NO_FATAL_FAILURE(startWith(true));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(QStringLiteral("повреждён")))
        << messages.first().toStdString();
    EXPECT_EQ(questions.size(), 1) << "nothing to offer";
    EXPECT_TRUE(QFileInfo::exists(form->journal()->damagedCopy()));
}
