#include "PreviewFixture.h"

#include "containers/SkinImages.h"

#include <QSignalSpy>

using namespace previewtest;

namespace {

class Driven : public ScreenFixture
{
protected:
    void SetUp() override { make(iconResources()); }
    int renders(const std::function<void()> &change)
    {
        QSignalSpy spy(preview.get(), &PhonePreview::rendered);
        change();
        return int(spy.count());
    }
};

} // namespace

TEST_F(Driven, ADocumentColourChangeRendersOnceAndShows)
{
    const TColor red = makeColor(250, 0, 0);
    EXPECT_EQ(renders([&] { document.setSlotColour(Slot::LeftSoftkey, red); }), 1);
    EXPECT_EQ(preview->colour(Slot::LeftSoftkey + 1), red);
    const QRect softkey = boxes(Slot::LeftSoftkey).value(0);
    ASSERT_FALSE(softkey.isEmpty());
    bool found = false;
    for (int x = softkey.left(); x <= softkey.right() && !found; ++x)
        for (int y = softkey.top(); y <= softkey.bottom() && !found; ++y)
            found = pixel(x, y) == toQColor(red).rgb();
    EXPECT_TRUE(found) << "the softkey text is drawn in the new colour";
    EXPECT_EQ(renders([&] { preview->setColour(0, red); }), 0) << "entry 0 stays white";
    EXPECT_EQ(preview->colour(0), kFixedWhite);
}

TEST_F(Driven, NewPicturesAreStretchedToTheScreenLikeEverywhere)
{
    SkinPictures pictures;
    pictures.BackgroundSource = QImage(10, 20, QImage::Format_RGB32);
    pictures.BackgroundSource.fill(QColor(9, 8, 7));
    pictures.CursorSource = QImage(3, 3, QImage::Format_RGB32);
    pictures.CursorSource.fill(QColor(1, 2, 3));
    EXPECT_EQ(renders([&] { document.setPictures(pictures); }), 1);
    EXPECT_EQ(preview->shownBackground(), PreviewBackground(pictures, {240, 320}));
    EXPECT_EQ(preview->shownCursor(), PreviewCursor(pictures));
    preview->setScreenSize({176, 208});
    EXPECT_EQ(preview->shownBackground().size(), QSize(176, 208));
}

TEST_F(Driven, ABatchRendersOnceWhenItEndsHoweverItIsLeft)
{
    const auto batchOfSetters = [&] {
        RenderBatch batch(preview.get());
        preview->setColumns(3);
        preview->setOption(&PreviewState::showGroups, true);
        document.setSlotColour(0, makeColor(1, 2, 3));
        RenderBatch inner(preview.get());
        preview->setOption(&PreviewState::miniClock, true);
    };
    EXPECT_EQ(renders(batchOfSetters), 1);
    EXPECT_FALSE(preview->busy());

    const auto earlyReturn = [&](bool leave) {
        RenderBatch batch(preview.get());
        preview->setColumns(4);
        if (leave)
            return;
        preview->setColumns(5);
    };
    EXPECT_EQ(renders([&] { earlyReturn(true); }), 1);
    EXPECT_FALSE(preview->busy()) << "an early return must not leave the preview frozen";
    EXPECT_EQ(preview->state().columns, 4);

    const auto thrown = [&] {
        try {
            RenderBatch batch(preview.get());
            preview->setOption(&PreviewState::showGroups, false);
            throw std::runtime_error("stop");
        } catch (const std::runtime_error &) {
        }
    };
    EXPECT_EQ(renders(thrown), 1);
    EXPECT_FALSE(preview->busy());
    RenderBatch none(nullptr);
}

TEST_F(Driven, WholeStateAtOnceRendersOnceAndKeepsColumnsInRange)
{
    PreviewState state;
    state.columns = 9;
    state.activeScreen = PreviewScreen::Settings;
    state.screenSize = {320, 240};
    EXPECT_EQ(renders([&] { preview->setState(state); }), 1);
    EXPECT_EQ(preview->state().columns, 5);
    EXPECT_EQ(preview->state().activeScreen, PreviewScreen::Settings);
    EXPECT_EQ(preview->picture().size(), QSize(320, 240));
    EXPECT_EQ(preview->shownBackground().size(), QSize(320, 240));
}

TEST_F(Driven, SelectionModeDecidesWhatAHoverHighlights)
{
    PreviewResources res = iconResources();
    std::mt19937 random(1);
    res.loadedList = sampleContactList(random);
    make(std::move(res));
    preview->setSelection(SelectionMode::WholeSlot);
    const auto &whole = preview->regions().regions(Slot::ContactNick + 1);
    ASSERT_EQ(whole.size(), 1);
    EXPECT_GT(whole.first().rectCount(), 1);
    preview->setSelection(SelectionMode::SingleElement);
    EXPECT_GT(preview->regions().regions(Slot::ContactNick + 1).size(), 1);
}

TEST(PreviewStateDefaults, AreTheOptionsInitialStates)
{
    const PreviewState state;
    EXPECT_EQ(state.activeScreen, PreviewScreen::ContactList);
    EXPECT_FALSE(state.showMenu || state.showPopup || state.showInfoWindows || state.showGroups ||
                 state.showOffline || state.showClients || state.miniClock);
    EXPECT_TRUE(state.sortByStatus);
    EXPECT_EQ(state.columns, 2);
    EXPECT_EQ(state.selection, SelectionMode::WholeSlot);
    EXPECT_EQ(state.contactListFont,
              PhoneFont::fromPoints(QStringLiteral("Nokia Hindi S60"), 8, true));
    EXPECT_EQ(state.chatFont, state.contactListFont);
    EXPECT_EQ(state.settingsFont, state.contactListFont);
}

TEST(SlotViews, EverySlotShowsWhereItIsPainted)
{
    struct Case
    {
        std::initializer_list<int> slotList;
        std::optional<SlotView> plain;
        std::optional<SlotView> withSettings;
    };
    const SlotView list{PreviewScreen::ContactList, false};
    const SlotView chat{PreviewScreen::Chat, false};
    const Case cases[] = {
        {{0, 1, 2, 4, 5, 17}, list, list},
        {{3},
         SlotView{PreviewScreen::ContactListPicked, false},
         SlotView{PreviewScreen::ContactListPicked, false}},
        {{6, 7, 8, 9, 10},
         SlotView{PreviewScreen::ContactList, true},
         SlotView{PreviewScreen::Settings, false}},
        {{11, 13, 14, 15, 16}, chat, chat},
        {{12, 18, 19, -1, 20}, std::nullopt, std::nullopt},
    };
    const auto same = [](const std::optional<SlotView> &a, const std::optional<SlotView> &b) {
        return a.has_value() == b.has_value() &&
               (!a || (a->screen == b->screen && a->showMenu == b->showMenu));
    };
    for (const Case &c : cases) {
        for (int slot : c.slotList) {
            EXPECT_TRUE(same(slotView(slot, false), c.plain)) << "slot " << slot;
            EXPECT_TRUE(same(slotView(slot, true), c.withSettings)) << "slot " << slot;
        }
    }
}

TEST(FontDialogRoundTrip, KeepsEveryAttributeTheDialogReturns)
{
    PhoneFont font = PhoneFont::fromPoints(QStringLiteral("Nokia Hindi S60"), 8, true);
    font.underline = true;
    font.strikeOut = true;
    const QFont offered = font.toDialogFont();
    EXPECT_EQ(offered.pointSize(), 8);
    EXPECT_TRUE(offered.bold());
    EXPECT_TRUE(offered.underline());
    EXPECT_TRUE(offered.strikeOut());
    EXPECT_EQ(PhoneFont::fromDialogFont(offered), font);

    // What the renderer draws with carries them too.
    const QFont drawn = font.toQFont();
    EXPECT_TRUE(drawn.underline());
    EXPECT_TRUE(drawn.strikeOut());
    EXPECT_EQ(drawn.pixelSize(), 11);

    // A size the dialog gives in pixels is taken as phone pixels.
    QFont pixels(QStringLiteral("Serif"));
    pixels.setPixelSize(14);
    EXPECT_EQ(PhoneFont::fromDialogFont(pixels).pixelHeight(), 14);
    for (int points : {6, 7, 8, 9, 10, 12, 14, 18, 36})
        EXPECT_EQ(PhoneFont::fromPoints(QStringLiteral("X"), points).points(), points) << points;
}
