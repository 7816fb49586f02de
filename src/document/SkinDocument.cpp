#include "document/SkinDocument.h"

SkinDocument::SkinDocument(QObject *parent)
    : QObject(parent)
{}

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
    m_scheme.setSlotColour(slot, colour);
    emit colourChanged(slot);
}

void SkinDocument::setDefaultColours()
{
    m_scheme.setDefault();
    emit colourChanged(-1);
}

void SkinDocument::selectSlot(int slot)
{
    m_scheme.selectSlot(slot);
}

void SkinDocument::resetSelected()
{
    setSlotColour(m_scheme.selectedSlot(), m_scheme.resetColour());
}

void SkinDocument::setTexts(const SkinTexts &texts)
{
    m_texts = texts;
    emit textsChanged();
}

Result<void> SkinDocument::loadSkin(const QString &path)
{
    auto loaded = loadSkinFile(path, m_scheme, m_texts);
    emit colourChanged(-1);
    emit textsChanged();
    return loaded;
}

void SkinDocument::setPictures(const SkinPictures &pictures)
{
    m_pictures = pictures;
    emit picturesChanged();
}

Result<bool> SkinDocument::importBackground(const QString &path)
{
    auto imported = ImportBackground(m_pictures, path);
    if (imported && *imported)
        emit picturesChanged();
    return imported;
}

Result<bool> SkinDocument::importCursor(const QString &path)
{
    auto imported = ImportCursor(m_pictures, path);
    if (imported && *imported)
        emit picturesChanged();
    return imported;
}

QList<SkinImagesFailure> SkinDocument::openSkinImages(const QString &skinPath,
                                                      const SkinImagesSetup &setup)
{
    auto failures = OpenSkinImages(skinPath, m_texts.mifName, setup, m_imageFiles, m_pictures);
    emit picturesChanged();
    return failures;
}
