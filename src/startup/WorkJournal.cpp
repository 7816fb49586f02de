#include "startup/WorkJournal.h"

#include "containers/PictureCodecs.h"
#include "document/SkinDocument.h"
#include "platform/FileOps.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kJournal = QStringLiteral("history.journal");
const QString kLock = QStringLiteral("history.lock");
const QString kPictures = QStringLiteral("pictures");

QSet<QByteArray> keysOf(const SkinState &state)
{
    QSet<QByteArray> keys;
    for (const QImage *picture : state.pictures.all()) {
        if (!picture->isNull())
            keys.insert(FilePictureStore::keyOf(*picture));
    }
    return keys;
}

} // namespace

FilePictureStore::FilePictureStore(QString folder)
    : m_folder(std::move(folder))
{}

QByteArray FilePictureStore::keyOf(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray size =
        QByteArray::number(pixels.width()) + 'x' + QByteArray::number(pixels.height()) + ':';
    hash.addData(size);
    for (int y = 0; y < pixels.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(pixels.constScanLine(y)),
                                    qsizetype(pixels.width()) * 4));
    return hash.result().toHex();
}

QString FilePictureStore::pathOf(const QByteArray &key) const
{
    return m_folder + u'/' + QString::fromLatin1(key) + QStringLiteral(".png");
}

Result<QByteArray> FilePictureStore::put(const QImage &picture)
{
    if (const auto known = m_stored.constFind(picture.cacheKey()); known != m_stored.cend())
        return *known;
    const QByteArray key = keyOf(picture);
    const QString path = pathOf(key);
    // A file of that name that is damaged (or is not the picture at all) is written anew, or
    // the next recovery would find it damaged again.
    if (!m_checked.contains(key) && QFile::exists(path) && !get(key))
        QFile::remove(path);
    if (!QFile::exists(path)) {
        VELMORA_TRY(makeFolder(m_folder));
        VELMORA_TRY_ASSIGN(const QByteArray png, encodePng(picture, PngPacking::Fast));
        VELMORA_TRY(writeFileAtomically(path, png));
    }
    m_stored.insert(picture.cacheKey(), key);
    m_loaded.insert(key, picture);
    m_checked.insert(key);
    return key;
}

Result<QImage> FilePictureStore::get(const QByteArray &key)
{
    if (const auto loaded = m_loaded.constFind(key); loaded != m_loaded.cend())
        return *loaded;
    // A key is 64 hex digits: anything else never names a file of ours.
    static const QByteArray hex = QByteArrayLiteral("0123456789abcdef");
    if (key.size() != 64 || !std::ranges::all_of(key, [](char c) { return hex.contains(c); }))
        return fail(Error::corrupt(
            QCoreApplication::translate("Journal", "a picture key of the journal is damaged")));
    const QString path = pathOf(key);
    VELMORA_TRY_ASSIGN(const QByteArray bytes, readWholeFile(path));
    VELMORA_TRY_ASSIGN(const QImage picture, decodePng(bytes, path));
    // A picture file that does not hold what its name says is as good as lost.
    if (keyOf(picture) != key)
        return fail(Error::corrupt(
            QCoreApplication::translate("Journal", "%1: the picture does not match its name")
                .arg(path)));
    m_loaded.insert(key, picture);
    m_stored.insert(picture.cacheKey(), key);
    m_checked.insert(key);
    return picture;
}

void FilePictureStore::removeAllBut(const QSet<QByteArray> &keep)
{
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.png")}, QDir::Files)) {
        const QByteArray key = name.chopped(4).toLatin1();
        if (!keep.contains(key))
            QFile::remove(dir.filePath(name));
    }
}

WorkJournal::WorkJournal(SkinHistory &history, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_folder(folder)
    , m_lock(QDir(folder).filePath(kLock))
    , m_pictures(QDir(folder).filePath(kPictures))
{
    if (auto made = makeFolder(folder); !made) {
        m_problem = made.error().message;
        return;
    }
    switch (m_lock.tryLock()) {
    case platform::ProcessLock::Outcome::Taken:
        break;
    case platform::ProcessLock::Outcome::TakenOver:
        m_notes.append(m_lock.detail());
        break;
    case platform::ProcessLock::Outcome::Held:
        m_problem = QCoreApplication::translate(
                        "Journal", "%1: another running designer keeps the history there")
                        .arg(folder);
        return;
    case platform::ProcessLock::Outcome::Failed:
        m_problem = m_lock.detail();
        return;
    }
    m_usable = true;
    connect(&history, &SkinHistory::stepRecorded, this, &WorkJournal::onStep);
    connect(&history.stack(), &QUndoStack::indexChanged, this, &WorkJournal::onIndex);
    // A rebuilt history is written afresh, once the journal runs.
    connect(&history, &SkinHistory::rebuilt, this, [this] {
        if (!m_started)
            return;
        if (auto restarted = start(); !restarted)
            emit failed(restarted.error().message);
    });
}

WorkJournal::~WorkJournal() = default;

QString WorkJournal::journalPath() const
{
    return QDir(m_folder).filePath(kJournal);
}

std::optional<ReplayedHistory> WorkJournal::previous()
{
    if (!m_usable || !QFile::exists(journalPath()))
        return std::nullopt;
    const auto contents = platform::readJournal(journalPath());
    if (!contents && contents.error().kind == Error::Kind::Io) {
        // Unreadable is not damaged: nothing to keep aside, and nothing may overwrite it.
        m_usable = false;
        m_problem =
            QCoreApplication::translate("Journal", "%1; the history is not kept on disk this time")
                .arg(contents.error().message);
        return std::nullopt;
    }
    auto replayed = contents
                        ? replayHistory(contents->records, m_pictures, SkinHistory::kDefaultLimit)
                        : Result<ReplayedHistory>(fail(contents.error()));
    // What could not be read whole is kept as it is, for whoever can make more of it; the
    // new journal starts beside it.
    const bool damaged =
        !contents || contents->damaged() || !replayed || replayed->skippedRecords > 0;
    if (damaged && !keepDamaged()) {
        // Kept nowhere, the file must not be overwritten either: no journal this time.
        m_usable = false;
        m_problem = QCoreApplication::translate(
                        "Journal", "%1: damaged, and it cannot be moved aside; the history is "
                                   "not kept on disk this time")
                        .arg(journalPath());
    }
    if (!replayed)
        return std::nullopt;
    return std::move(*replayed);
}

bool WorkJournal::keepDamaged()
{
    const QString stem = journalPath() + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    // Two damaged journals within a second keep both: rename never replaces a copy.
    QString copy = stem;
    for (int n = 2; QFileInfo::exists(copy) && n < 100; ++n)
        copy = stem + QLatin1Char('-') + QString::number(n);
    if (QFileInfo::exists(copy) || !QFile::rename(journalPath(), copy))
        return false;
    m_damagedCopy = copy;
    m_notes.append(
        QCoreApplication::translate("Journal", "The history journal was damaged; it is kept as %1")
            .arg(copy));
    return true;
}

QList<QByteArray> WorkJournal::wholeHistory(Error &error)
{
    QList<QByteArray> records;
    records.append(originRecord(m_history.origin(), m_pictures, &error));
    const int count = m_history.stack().count();
    for (int i = 0; i < count; ++i)
        records.append(
            stepRecord(m_history.step(i)->text(), m_history.step(i)->after(), m_pictures, &error));
    records.append(indexRecord(m_history.index()));
    return records;
}

Result<void> WorkJournal::start()
{
    if (!m_usable)
        return fail(Error::io(m_problem));
    Error error;
    const QList<QByteArray> records = wholeHistory(error);
    if (std::ranges::any_of(records, &QByteArray::isEmpty))
        return fail(error);
    VELMORA_TRY_ASSIGN(m_file, platform::JournalFile::create(journalPath(), records));
    m_started = true;
    m_records = int(records.size());
    m_journaledIndex = m_history.index();
    // Pictures no state of the history shows any more.
    QSet<QByteArray> keep = keysOf(m_history.origin());
    for (int i = 0; i < m_history.stack().count(); ++i)
        keep.unite(keysOf(m_history.step(i)->after()));
    m_pictures.removeAllBut(keep);
    return {};
}

void WorkJournal::write(const QByteArray &record, const Error &error)
{
    if (!m_started)
        return;
    Result<void> written = record.isEmpty() ? Result<void>(fail(error)) : m_file.append(record);
    if (!written) {
        m_started = false;
        m_file.close();
        emit failed(written.error().message);
        return;
    }
    ++m_records;
}

void WorkJournal::onStep()
{
    Error error;
    write(stepRecord(m_history.stack().undoText(), m_history.step(m_history.index() - 1)->after(),
                     m_pictures, &error),
          error);
    m_journaledIndex = m_history.index();
    // Undo, redo and dropped steps leave records behind; a fresh copy keeps the file short.
    if (m_started && m_records > 4 * (m_history.stack().count() + 1) + 200) {
        if (auto restarted = start(); !restarted)
            emit failed(restarted.error().message);
    }
}

void WorkJournal::onIndex(int index)
{
    // A new step moves the index too; its record says so already.
    if (index == m_journaledIndex || m_history.rebuilding())
        return;
    m_journaledIndex = index;
    write(indexRecord(index), Error());
}

void WorkJournal::finish(const QString &skinPath)
{
    write(closedRecord(skinPath), Error());
    m_file.close();
    m_started = false;
}
