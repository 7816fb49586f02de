#pragma once

#include "document/SkinState.h"
#include "startup/WorkJournal.h"

#include <QCryptographicHash>

// A short fingerprint of a state: colours, texts and the pictures' pixels (not their format),
// so a state read back from a journal can be recognised among those the editor printed.
inline QByteArray stateDigest(const SkinState &state)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (TColor colour : state.colours)
        hash.addData(QByteArray::number(quint32(colour)) + ',');
    for (const QString &text : {state.texts.skinFileName, state.texts.baseName, state.texts.mifName,
                                state.texts.copyright})
        hash.addData(text.toUtf8() + '\n');
    for (const QImage *picture : state.pictures.all())
        hash.addData(picture->isNull() ? QByteArray("-") : FilePictureStore::keyOf(*picture));
    return hash.result().toHex().left(16);
}
