#include "document/HistoryRecords.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>

#include <optional>

namespace {

enum Kind : quint8 { Origin = 'O', Step = 'P', Index = 'I', Closed = 'C' };

QDataStream &prepared(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_6_0);
    stream.setByteOrder(QDataStream::LittleEndian);
    return stream;
}

// A picture as its key and format; a null picture as an empty key.
bool writePicture(QDataStream &out, const QImage &picture, PictureStore &store, Error *error)
{
    if (picture.isNull()) {
        out << QByteArray() << qint32(0);
        return true;
    }
    auto key = store.put(picture);
    if (!key) {
        if (error)
            *error = key.error();
        return false;
    }
    out << *key << qint32(picture.format());
    return true;
}

bool writeState(QDataStream &out, const SkinState &state, PictureStore &store, Error *error)
{
    for (TColor colour : state.colours)
        out << quint32(colour);
    out << state.texts.skinFileName << state.texts.baseName << state.texts.mifName
        << state.texts.copyright;
    for (const QImage *picture : state.pictures.all()) {
        if (!writePicture(out, *picture, store, error))
            return false;
    }
    return true;
}

bool readPicture(QDataStream &in, QImage &picture, PictureStore &store)
{
    QByteArray key;
    qint32 format = 0;
    in >> key >> format;
    if (in.status() != QDataStream::Ok)
        return false;
    if (key.isEmpty()) {
        picture = QImage();
        return true;
    }
    if (format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        return false;
    auto stored = store.get(key);
    if (!stored)
        return false;
    picture = stored->convertToFormat(QImage::Format(format));
    return true;
}

bool readState(QDataStream &in, SkinState &state, PictureStore &store)
{
    for (TColor &colour : state.colours) {
        quint32 value = 0;
        in >> value;
        colour = TColor(value);
    }
    in >> state.texts.skinFileName >> state.texts.baseName >> state.texts.mifName >>
        state.texts.copyright;
    if (in.status() != QDataStream::Ok)
        return false;
    for (QImage *picture : state.pictures.all()) {
        if (!readPicture(in, *picture, store))
            return false;
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

QByteArray stateRecord(Kind kind, const QString *label, const SkinState &state,
                       PictureStore &pictures, Error *error)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepared(out) << quint8(kind);
    if (label)
        out << *label;
    return writeState(out, state, pictures, error) ? bytes : QByteArray();
}

// One record read whole before anything is applied, so a bad one changes nothing.
struct Parsed
{
    quint8 kind = 0;
    QString text; // a step's label, an end's skin path
    SkinState state;
    qint32 index = 0;
};

std::optional<Parsed> parse(const QByteArray &record, PictureStore &pictures)
{
    QDataStream in(record);
    prepared(in);
    Parsed parsed;
    in >> parsed.kind;
    switch (parsed.kind) {
    case Origin:
        if (!readState(in, parsed.state, pictures))
            return std::nullopt;
        return parsed;
    case Step:
        in >> parsed.text;
        if (!readState(in, parsed.state, pictures))
            return std::nullopt;
        return parsed;
    case Index:
        in >> parsed.index;
        break;
    case Closed:
        in >> parsed.text;
        break;
    default:
        return std::nullopt;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return parsed;
}

bool apply(Parsed &&record, ReplayedHistory &history, int limit)
{
    switch (record.kind) {
    case Origin:
        history = ReplayedHistory{};
        history.origin = std::move(record.state);
        return true;
    case Step:
        history.steps.resize(history.index);
        history.steps.append({record.text, std::move(record.state)});
        if (history.steps.size() > limit)
            history.origin = history.steps.takeFirst().second;
        history.index = int(history.steps.size());
        history.closed = false;
        return true;
    case Index:
        if (record.index < 0 || record.index > history.steps.size())
            return false;
        history.index = record.index;
        history.closed = false;
        return true;
    default:
        history.closed = true;
        history.skinPath = record.text;
        return true;
    }
}

} // namespace

QByteArray originRecord(const SkinState &state, PictureStore &pictures, Error *error)
{
    return stateRecord(Origin, nullptr, state, pictures, error);
}

QByteArray stepRecord(const QString &label, const SkinState &state, PictureStore &pictures,
                      Error *error)
{
    return stateRecord(Step, &label, state, pictures, error);
}

QByteArray indexRecord(int index)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepared(out) << quint8(Index) << qint32(index);
    return bytes;
}

QByteArray closedRecord(const QString &skinPath)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepared(out) << quint8(Closed) << skinPath;
    return bytes;
}

Result<ReplayedHistory> replayHistory(const QList<QByteArray> &records, PictureStore &pictures,
                                      int limit)
{
    ReplayedHistory history;
    auto first = records.isEmpty() ? std::nullopt : parse(records.first(), pictures);
    if (!first || first->kind != Origin)
        return fail(Error::corrupt(QCoreApplication::translate(
            "Journal", "the history journal does not start with a readable state")));
    apply(std::move(*first), history, limit);
    for (qsizetype i = 1; i < records.size(); ++i) {
        auto parsed = parse(records[i], pictures);
        if (!parsed || !apply(std::move(*parsed), history, limit)) {
            history.skippedRecords = int(records.size() - i);
            break;
        }
    }
    return history;
}
