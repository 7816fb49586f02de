#pragma once

#include "containers/SkinImages.h"
#include "containers/SkinPictures.h"
#include "core/ColourScheme.h"
#include "core/SkinFile.h"
#include "document/SkinHistory.h"
#include "document/SkinState.h"

#include <QObject>

// The skin being edited: the twenty colours with the selected slot, the texts that go into the
// .skin file, the background and cursor pictures and the picture files a .mif gave them. The
// windows, the command line and the simulated screen all work on one such object, so there is
// exactly one colour table; every change is announced once, by kind, for whoever shows it.
class SkinDocument : public QObject
{
    Q_OBJECT
public:
    explicit SkinDocument(QObject *parent = nullptr);

    // --- colours ---------------------------------------------------------------------------
    const ColourScheme &scheme() const { return m_scheme; }
    TColor slotColour(int slot) const { return m_scheme.slotColour(slot); }
    // Entry 0 is the fixed white; entry n is slot n - 1. Out of range gives the white.
    TColor tableColour(int index) const;
    void setSlotColour(int slot, TColor colour);
    // The default colours, slot 0 selected, its colour as the reset colour.
    void setDefaultColours();
    int selectedSlot() const { return m_scheme.selectedSlot(); }
    TColor resetColour() const { return m_scheme.resetColour(); }
    void selectSlot(int slot);
    // "Сброс цвета": the selected slot gets back the colour it had when it was picked.
    void resetSelected();

    // --- texts -----------------------------------------------------------------------------
    const SkinTexts &texts() const { return m_texts; }
    void setTexts(const SkinTexts &texts);

    // Reads the colours and texts of a .skin file; what was read before a failure stays.
    Result<void> loadSkin(const QString &path);

    // --- pictures --------------------------------------------------------------------------
    const SkinPictures &pictures() const { return m_pictures; }
    void setPictures(const SkinPictures &pictures);
    // A picture file into both copies, by its name's ending; false for an ending we do not read.
    Result<bool> importBackground(const QString &path);
    Result<bool> importCursor(const QString &path);
    const SkinImageFiles &imageFiles() const { return m_imageFiles; }
    // The pictures of the .mif the texts name, from the skin file's folder; the messages to show.
    QList<SkinImagesFailure> openSkinImages(const QString &skinPath, const SkinImagesSetup &setup);

    // --- history ---------------------------------------------------------------------------
    // The skin as a whole, for undo steps and the journal.
    SkinState state() const;
    // Sets the skin to state, announcing only what changed. Not a step itself.
    void restore(const SkinState &state);
    SkinHistory &history() { return *m_history; }
    // The name of a step that changes one slot's colour.
    static QString colourStepName(int slot);
    const SkinHistory &history() const { return *m_history; }

signals:
    // One slot's colour changed; -1 when the whole table did.
    void colourChanged(int slot);
    void textsChanged();
    void picturesChanged();
    // Another slot became the one both colour editors edit.
    void selectedSlotChanged(int slot);

private:
    ColourScheme m_scheme;
    SkinTexts m_texts;
    SkinPictures m_pictures;
    SkinImageFiles m_imageFiles;
    SkinHistory *m_history;
};
