#include "document/HistoryRecords.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <functional>
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

// A picture the store has lost or holds damaged leaves the picture null and sets lost: the rest
// of the state still counts.
bool readPicture(QDataStream &in, QImage &picture, PictureStore &store, bool &lost)
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
    if (!stored) {
        picture = QImage();
        lost = true;
        return true;
    }
    picture = stored->convertToFormat(QImage::Format(format));
    return true;
}

// lost[i] is set for each of the state's pictures the store could not give back.
bool readState(QDataStream &in, SkinState &state, PictureStore &store, std::array<bool, 4> &lost)
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
    const auto pictures = state.pictures.all();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!readPicture(in, *pictures[i], store, lost[i]))
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
    // Which of the state's pictures the store could not give back.
    std::array<bool, 4> lostPictures{};
};

std::optional<Parsed> parse(const QByteArray &record, PictureStore &pictures)
{
    QDataStream in(record);
    prepared(in);
    Parsed parsed;
    in >> parsed.kind;
    switch (parsed.kind) {
    case Origin:
        if (!readState(in, parsed.state, pictures, parsed.lostPictures))
            return std::nullopt;
        return parsed;
    case Step:
        in >> parsed.text;
        if (!readState(in, parsed.state, pictures, parsed.lostPictures))
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

// A lost picture of a step is the one the state before it showed, the nearest that can be
// given back; the step is named among those restored without their own pictures.
void fillLostPictures(Parsed &record, const SkinState &before, ReplayedHistory &history)
{
    if (std::ranges::none_of(record.lostPictures, std::identity()))
        return;
    const auto pictures = record.state.pictures.all();
    const auto previous = before.pictures.all();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (record.lostPictures[i])
            *pictures[i] = *previous[i];
    }
    history.picturesLost.append(record.kind == Origin ? QString() : record.text);
}

bool apply(Parsed &&record, ReplayedHistory &history, int limit)
{
    switch (record.kind) {
    case Origin: {
        // Nothing comes before the start: its lost pictures stay empty.
        QStringList lost = history.picturesLost;
        if (std::ranges::any_of(record.lostPictures, std::identity()))
            lost.append(QString());
        history = ReplayedHistory{};
        history.picturesLost = lost;
        history.origin = std::move(record.state);
        return true;
    }
    case Step:
        fillLostPictures(
            record, history.index == 0 ? history.origin : history.steps[history.index - 1].second,
            history);
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
    // The history starts at its origin; when that record was lost, at the first state that
    // can still be read, so what came after it is not lost too.
    qsizetype at = 0;
    std::optional<Parsed> first;
    for (; at < records.size() && !first; ++at) {
        first = parse(records[at], pictures);
        if (first && first->kind == Step)
            first->kind = Origin;
        else if (first && first->kind != Origin)
            first.reset();
    }
    if (!first)
        return fail(Error::corrupt(
            QCoreApplication::translate("Journal", "the history journal holds no readable state")));
    const int unreadStart = int(at - 1);
    apply(std::move(*first), history, limit);
    history.skippedRecords = unreadStart;
    for (; at < records.size(); ++at) {
        auto parsed = parse(records[at], pictures);
        // A record that cannot be used is passed over: the steps after it hold whole states.
        if (!parsed || !apply(std::move(*parsed), history, limit))
            ++history.skippedRecords;
    }
    return history;
}
