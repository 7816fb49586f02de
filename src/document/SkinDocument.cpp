#include "document/SkinDocument.h"

#include <QCoreApplication>

SkinDocument::SkinDocument(QObject *parent)
    : QObject(parent)
    , m_history(new SkinHistory(*this))
{}

QString SkinDocument::colourStepName(int slot)
{
    return QCoreApplication::translate("SkinHistory", "colour “%1”").arg(slotCaption(slot));
}

SkinState SkinDocument::state() const
{
    SkinState state;
    for (int slot = 0; slot < kSlotCount; ++slot)
        state.colours[std::size_t(slot)] = m_scheme.slotColour(slot);
    state.texts = m_texts;
    state.pictures = m_pictures;
    return state;
}

void SkinDocument::restore(const SkinState &state)
{
    const SkinState now = this->state();
    if (!now.sameColours(state)) {
        for (int slot = 0; slot < kSlotCount; ++slot)
            m_scheme.setSlotColour(slot, state.colours[std::size_t(slot)]);
        emit colourChanged(-1);
    }
    if (now.texts != state.texts) {
        m_texts = state.texts;
        emit textsChanged();
    }
    if (!now.samePictures(state)) {
        m_pictures = state.pictures;
        emit picturesChanged();
    }
}

TColor SkinDocument::tableColour(int index) const
{
    if (index <= 0 || index >= kColourTableSize)
        return kFixedWhite;
    return m_scheme.table()[index];
}

void SkinDocument::setSlotColour(int slot, TColor colour)
{
    if (slot < 0 || slot >= kSlotCount)
        return;
    SkinHistory::Step step(*m_history, colourStepName(slot));
    m_scheme.setSlotColour(slot, colour);
    emit colourChanged(slot);
}

void SkinDocument::setDefaultColours()
{
    SkinHistory::Step step(*m_history,
                           QCoreApplication::translate("SkinHistory", "default colours"));
    const int previous = m_scheme.selectedSlot();
    m_scheme.setDefault();
    emit colourChanged(-1);
    if (m_scheme.selectedSlot() != previous)
        emit selectedSlotChanged(m_scheme.selectedSlot());
}

void SkinDocument::selectSlot(int slot)
{
    const int previous = m_scheme.selectedSlot();
    m_scheme.selectSlot(slot);
    if (slot != previous)
        emit selectedSlotChanged(slot);
}

void SkinDocument::resetSelected()
{
    SkinHistory::Step step(*m_history, QCoreApplication::translate("SkinHistory", "colour reset"));
    setSlotColour(m_scheme.selectedSlot(), m_scheme.resetColour());
}

void SkinDocument::setTexts(const SkinTexts &texts)
{
    m_texts = texts;
    emit textsChanged();
}

Result<void> SkinDocument::loadSkin(const QString &path)
{
    SkinHistory::Step step(*m_history,
                           QCoreApplication::translate("SkinHistory", "colour scheme import"));
    auto loaded = loadSkinFile(path, m_scheme, m_texts);
    emit colourChanged(-1);
    emit textsChanged();
    return loaded;
}

void SkinDocument::setPictures(const SkinPictures &pictures)
{
    SkinHistory::Step step(*m_history, QCoreApplication::translate("SkinHistory", "pictures"));
    m_pictures = pictures;
    emit picturesChanged();
}

Result<bool> SkinDocument::importBackground(const QString &path)
{
    SkinHistory::Step step(*m_history,
                           QCoreApplication::translate("SkinHistory", "background import"));
    auto imported = ImportBackground(m_pictures, path);
    if (imported && *imported)
        emit picturesChanged();
    return imported;
}

Result<bool> SkinDocument::importCursor(const QString &path)
{
    SkinHistory::Step step(*m_history, QCoreApplication::translate("SkinHistory", "cursor import"));
    auto imported = ImportCursor(m_pictures, path);
    if (imported && *imported)
        emit picturesChanged();
    return imported;
}

QList<SkinImagesFailure> SkinDocument::openSkinImages(const QString &skinPath,
                                                      const SkinImagesSetup &setup)
{
    SkinHistory::Step step(*m_history, QCoreApplication::translate("SkinHistory", "skin pictures"));
    auto failures = OpenSkinImages(skinPath, m_texts.mifName, setup, m_imageFiles, m_pictures);
    emit picturesChanged();
    return failures;
}
