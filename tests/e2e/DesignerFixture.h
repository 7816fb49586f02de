#pragma once

// The designer started as main() starts it, on the throw-away program folder run_e2e.sh made,
// with helpers that act on it as a user does.
#include "DialogDriver.h"

#include "core/ColourScheme.h"
#include "ui/MainWindow.h"

#include <QMenu>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <memory>

class SkinDocument;

using Colours = std::array<TColor, kSlotCount>;

// The program folder the tests run on, ending in '/'; empty outside run_e2e.sh.
QString programFolder();
// The colours of a .skin file, and those the document holds.
Colours coloursOfFile(const QString &path);
Colours coloursOf(const SkinDocument &document);
QImage solidPicture(QSize size, QColor colour);
// The command ended neither the program nor showed a window nobody asked for.
void expectQuiet(const DialogDriver::Outcome &outcome, const QString &what);

class Designer : public ::testing::Test
{
protected:
    void SetUp() override;

    QString work(const QString &name) const { return m_work.filePath(name); }
    QMenu *previewMenu() const;
    QMenu *mainMenu(const QString &caption) const;
    QAction *previewItem(const QStringList &path) const;
    QAction *mainItem(const QString &menu, const QStringList &path) const;
    // Opens a skin through the preview menu's "Открыть", typing its path into the dialog.
    void openThroughDialog(const QString &path);
    // Clicks the slot in the main window's slot list (shown on its tab) and waits until the
    // document has it selected.
    void pickSlotInList(int slot);
    // Changes the slot's red in the main window's colour tab, as arrow keys on the slider do,
    // and waits until the document has it.
    void nudgeRed(int slot, int steps);
    // Makes the preview window the active one, so that its keys reach it.
    void activatePreview();
    // Points at an element of the slot on the simulated screen and clicks it, as a user does.
    void clickElement(int slot);

    QTemporaryDir m_work;
    std::unique_ptr<MainWindow> form;
    DialogDriver driver;
};
