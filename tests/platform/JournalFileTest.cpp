#include "platform/JournalFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::JournalFile;
using platform::readJournal;

namespace {

class Journal : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("j")); }
    QByteArray bytes() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeBytes(const QByteArray &content) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Journal, RecordsComeBackInOrderAfterCreateAndAppend)
{
    auto file = JournalFile::create(path(), {QByteArray("first"), QByteArray()});
    ASSERT_TRUE(file.has_value()) << file.error().message.toStdString();
    ASSERT_TRUE(file->append(QByteArray("second")).has_value());
    ASSERT_TRUE(file->append(QByteArray(70000, 'x')).has_value());
    EXPECT_EQ(file->size(), bytes().size());
    const auto read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, (QList<QByteArray>{"first", "", "second", QByteArray(70000, 'x')}));
    EXPECT_FALSE(read->damagedTail);
    // Creating again starts afresh; the old records are gone.
    file = JournalFile::create(path(), {QByteArray("only")});
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(readJournal(path())->records, QList<QByteArray>{"only"});
}

TEST_F(Journal, ACutAtAnyByteOfTheLastRecordKeepsTheOnesBefore)
{
    {
        auto file = JournalFile::create(path(), {QByteArray("one"), QByteArray("two")});
        ASSERT_TRUE(file.has_value());
        ASSERT_TRUE(file->append(QByteArray("the last record")).has_value());
    }
    const QByteArray whole = bytes();
    const qsizetype lastStart = whole.size() - 8 - 15;
    for (qsizetype cut = lastStart; cut < whole.size(); ++cut) {
        writeBytes(whole.left(cut));
        const auto read = readJournal(path());
        ASSERT_TRUE(read.has_value()) << cut;
        EXPECT_EQ(read->records, (QList<QByteArray>{"one", "two"})) << "cut at " << cut;
        EXPECT_EQ(read->damagedTail, cut > lastStart) << cut;
    }
}

TEST_F(Journal, DamageStopsTheReadAtTheDamagedRecord)
{
    {
        auto file = JournalFile::create(
            path(), {QByteArray("alpha"), QByteArray("beta"), QByteArray("gamma")});
        ASSERT_TRUE(file.has_value());
    }
    QByteArray damaged = bytes();
    // A flipped bit in "beta" fails its checksum: only "alpha" is trusted.
    damaged[damaged.indexOf("beta")] = 'B';
    writeBytes(damaged);
    auto read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, QList<QByteArray>{"alpha"});
    EXPECT_TRUE(read->damagedTail);
    // A length far beyond any record is damage too, not an allocation.
    QByteArray huge = bytes().left(8);
    huge += QByteArray("\xFF\xFF\xFF\x7F\0\0\0\0", 8);
    writeBytes(huge);
    read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->records.isEmpty());
    EXPECT_TRUE(read->damagedTail);
}

TEST_F(Journal, AForeignOrMissingFileIsRefusedByName)
{
    writeBytes("PNG and more");
    const auto foreign = readJournal(path());
    ASSERT_FALSE(foreign.has_value());
    EXPECT_TRUE(foreign.error().message.contains(path()));
    EXPECT_TRUE(foreign.error().message.contains(QStringLiteral("not a history journal")));
    EXPECT_FALSE(readJournal(m_dir.filePath(QStringLiteral("none"))).has_value());
    // An empty journal (the mark only) holds no records and no damage.
    ASSERT_TRUE(JournalFile::create(path(), {}).has_value());
    const auto empty = readJournal(path());
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->records.isEmpty());
    EXPECT_FALSE(empty->damagedTail);
}
