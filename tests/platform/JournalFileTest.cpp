#include "platform/JournalFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

using platform::JournalFile;
using platform::readJournal;

namespace {

// The most memory this process has held so far, in KiB.
long peakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

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
    auto file = JournalFile::create(path(), {QByteArray("first"), QByteArray("1")});
    ASSERT_TRUE(file.has_value()) << file.error().message.toStdString();
    ASSERT_TRUE(file->append(QByteArray("second")).has_value());
    ASSERT_TRUE(file->append(QByteArray(70000, 'x')).has_value());
    EXPECT_EQ(file->size(), bytes().size());
    // An empty record is no record: a run of zeros must never read as records.
    EXPECT_FALSE(file->append(QByteArray()).has_value());
    EXPECT_FALSE(JournalFile::create(path() + u'2', {QByteArray()}).has_value());
    const auto read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, (QList<QByteArray>{"first", "1", "second", QByteArray(70000, 'x')}));
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
    const qsizetype lastStart = whole.size() - 16 - 15;
    for (qsizetype cut = lastStart; cut < whole.size(); ++cut) {
        writeBytes(whole.left(cut));
        const auto read = readJournal(path());
        ASSERT_TRUE(read.has_value()) << cut;
        EXPECT_EQ(read->records, (QList<QByteArray>{"one", "two"})) << "cut at " << cut;
        EXPECT_EQ(read->tornTail, cut > lastStart) << cut;
        EXPECT_FALSE(read->damaged()) << "a record cut short is what a kill leaves: " << cut;
    }
}

// The records after a damaged one are found again by their marks and rising numbers; only the
// damaged record is lost.
TEST_F(Journal, RecordsAfterADamagedOneAreFoundAgain)
{
    {
        auto file = JournalFile::create(
            path(), {QByteArray("alpha"), QByteArray("beta"), QByteArray("gamma")});
        ASSERT_TRUE(file.has_value());
        ASSERT_TRUE(file->append("delta").has_value());
    }
    const QByteArray whole = bytes();
    QByteArray damaged = whole;
    damaged[damaged.indexOf("beta")] = 'B';
    writeBytes(damaged);
    auto read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, (QList<QByteArray>{"alpha", "gamma", "delta"}));
    EXPECT_EQ(read->gaps, 1);
    EXPECT_FALSE(read->damagedTail);

    // The file's own mark damaged: every record is still found.
    damaged = whole;
    damaged[2] = 'X';
    writeBytes(damaged);
    read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, (QList<QByteArray>{"alpha", "beta", "gamma", "delta"}));
    EXPECT_TRUE(read->damagedStart);

    // A length far beyond any record is damage too, not an allocation.
    damaged = whole;
    const qsizetype length = damaged.indexOf("alpha") - 8;
    damaged.replace(length, 4, QByteArray("\xFF\xFF\xFF\x7F", 4));
    writeBytes(damaged);
    read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, (QList<QByteArray>{"beta", "gamma", "delta"}));
}

// Zeros after the records (a file system that gave a crashed file its length but not its data)
// are no records, however many, and reading them takes no more memory than a record.
TEST_F(Journal, ZerosAfterTheRecordsAreADamagedTailReadInBoundedMemory)
{
    {
        auto file = JournalFile::create(path(), {QByteArray("one"), QByteArray("two")});
        ASSERT_TRUE(file.has_value());
    }
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() + 300LL * 1024 * 1024)); // sparse: no disk taken
    file.close();
    const long before = peakMemoryKb();
    const auto read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, (QList<QByteArray>{"one", "two"}));
    EXPECT_TRUE(read->damagedTail);
    EXPECT_LT(peakMemoryKb() - before, 64 * 1024) << "the tail is read a piece at a time";
}

// Journals written before records had marks and numbers are still read, up to their damage.
TEST_F(Journal, TheFirstFormatIsStillRead)
{
    const QByteArray old = platform::firstFormatJournalBytes({"alpha", "beta", "gamma"});
    writeBytes(old);
    auto read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, (QList<QByteArray>{"alpha", "beta", "gamma"}));
    EXPECT_FALSE(read->damaged());
    QByteArray damaged = old;
    damaged[damaged.indexOf("beta")] = 'B';
    writeBytes(damaged);
    read = readJournal(path());
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->records, QList<QByteArray>{"alpha"});
    EXPECT_TRUE(read->damagedTail);
    // Zeros in the first format are no records either.
    writeBytes(old.left(8) + QByteArray(64, '\0'));
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
