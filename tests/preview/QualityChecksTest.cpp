#include "PreviewFixture.h"
#include "preview/ContactList.h"
#include "preview/Legibility.h"
#include "preview/SlotUsage.h"

#include <QPainter>

#include <algorithm>
#include <random>

using namespace previewtest;

namespace {

// Icons, the sample contact list (with blinking nicks) and a short chat in every text colour.
PreviewResources fullResources()
{
    PreviewResources res = iconResources();
    std::mt19937 random(5);
    res.loadedList = sampleContactList(random);
    res.chat = readChatSample(cp1251::encode(
        QStringLiteral("7,18,6,Маша\r\n<~~<color17>~~>Кофе\r\n<~~<color14>~~>Маша (09:41):\r\n"
                       "<~~<color16>~~>Привет! Ты уже проснулся?\r\n<~~<color15>~~>Андрей "
                       "(09:42):\r\n<~~<color16>~~>Давно.")));
    return res;
}

QImage uniform(QSize size, QRgb colour)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

QStringList screensOf(const QList<ScreenUsage> &usage)
{
    QStringList names;
    for (const ScreenUsage &entry : usage)
        names.append(entry.screen);
    return names;
}

const SlotLegibility *entryFor(const QList<SlotLegibility> &audit, int slot)
{
    const auto found = std::ranges::find(audit, slot, &SlotLegibility::slot);
    return found == audit.end() ? nullptr : &*found;
}

class QualityChecks : public ScreenFixture
{
protected:
    // Every colour slot and both pictures set to colours around one grey, so nothing stands
    // out from anything.
    void greyEverything(int textStep)
    {
        make(fullResources());
        SkinPictures pictures;
        pictures.BackgroundSource = uniform({240, 320}, qRgb(128, 128, 128));
        pictures.CursorSource = uniform({120, 18}, qRgb(128, 128, 128));
        document.setPictures(pictures);
        for (int slot = 0; slot < 20; ++slot)
            document.setSlotColour(slot, makeColor(128, 128, 128 + textStep));
    }
};

// The checks as the window runs them: over the shown preview's skin, clock and pictures.
QList<SlotLegibility> auditOf(PhonePreview &preview, bool withCrops = false)
{
    return auditLegibility(preview.document().state(), preview.resources(), preview.state(),
                           withCrops, preview.renderContext());
}

QList<ScreenUsage> usageOf(PhonePreview &preview, int slot, bool withPictures = false)
{
    return slotUsage(preview.document().state(), preview.resources(), preview.state(), slot,
                     withPictures, preview.renderContext());
}

} // namespace

TEST(Contrast, FollowsTheWcagFormula)
{
    EXPECT_NEAR(contrastRatio(qRgb(0, 0, 0), qRgb(255, 255, 255)), 21.0, 1e-4);
    EXPECT_NEAR(contrastRatio(qRgb(255, 255, 255), qRgb(0, 0, 0)), 21.0, 1e-4);
    EXPECT_DOUBLE_EQ(contrastRatio(qRgb(90, 20, 200), qRgb(90, 20, 200)), 1.0);
    // Mid grey #777 against white is the well-known 4.48.
    EXPECT_NEAR(contrastRatio(qRgb(0x77, 0x77, 0x77), qRgb(255, 255, 255)), 4.48, 0.01);
    // Green weighs most: pure green on black is far brighter than pure blue on black.
    EXPECT_GT(contrastRatio(qRgb(0, 255, 0), qRgb(0, 0, 0)),
              3 * contrastRatio(qRgb(0, 0, 255), qRgb(0, 0, 0)));
}

TEST(Contrast, GradesAtFourAndAHalfAndThree)
{
    EXPECT_EQ(gradeOf(21.0), LegibilityGrade::Ok);
    EXPECT_EQ(gradeOf(4.5), LegibilityGrade::Ok);
    EXPECT_EQ(gradeOf(4.49), LegibilityGrade::Weak);
    EXPECT_EQ(gradeOf(3.0), LegibilityGrade::Weak);
    EXPECT_EQ(gradeOf(2.99), LegibilityGrade::Unreadable);
    EXPECT_EQ(gradeName(LegibilityGrade::Weak), QStringLiteral("weak"));
    EXPECT_EQ(gradeName(LegibilityGrade::Unreadable), QStringLiteral("unreadable"));
}

TEST(Contrast, TheTenthPercentileCatchesAStripeTheMeanWouldMiss)
{
    // A white nick over black with a white stripe through a fifth of its box: the mean
    // contrast is still high, but a fifth of the letters vanish.
    QImage canvas = uniform({100, 20}, qRgb(0, 0, 0));
    const QRect box(10, 5, 80, 10);
    {
        QPainter p(&canvas);
        p.fillRect(QRect(10, 5, 80, 2), Qt::white);
    }
    EXPECT_NEAR(boxContrast(canvas, box, qRgb(255, 255, 255)), 1.0, 1e-6);
    // A few bright pixels, under a tenth of the box, do not sink it.
    canvas.fill(Qt::black);
    for (int x = 10; x < 18; ++x)
        canvas.setPixel(x, 5, qRgb(255, 255, 255));
    EXPECT_NEAR(boxContrast(canvas, box, qRgb(255, 255, 255)), 21.0, 1e-4);
    // Only the box counts: a white frame around it changes nothing.
    QImage framed = uniform({100, 20}, qRgb(255, 255, 255));
    {
        QPainter p(&framed);
        p.fillRect(box, Qt::black);
    }
    EXPECT_NEAR(boxContrast(framed, box, qRgb(255, 255, 255)), 21.0, 1e-4);
}

TEST_F(QualityChecks, TextOneStepFromAUniformBackgroundIsUnreadable)
{
    greyEverything(1);
    const QList<SlotLegibility> audit = auditOf(*preview);
    ASSERT_GE(audit.size(), 10) << "every text slot of every screen is measured";
    for (const SlotLegibility &s : audit) {
        // The chat's editor box is white whatever the skin says, so its text is measured
        // against white: grey on white, weak but not lost.
        if (s.slot == Slot::EditorText) {
            EXPECT_EQ(s.screen, QStringLiteral("chat"));
            EXPECT_EQ(s.grade, LegibilityGrade::Weak);
            continue;
        }
        EXPECT_NEAR(s.contrast, 1.0, 0.02) << "slot " << s.slot;
        EXPECT_EQ(s.grade, LegibilityGrade::Unreadable) << "slot " << s.slot;
        EXPECT_FALSE(s.box.isEmpty());
        EXPECT_TRUE(preview->picture().rect().contains(s.box));
    }
    // The chat's message text and the softkeys are among the texts found.
    for (int slot : {4, 5, 7, 15})
        EXPECT_NE(entryFor(audit, slot), nullptr) << "slot " << slot;
    // The slots that only fill boxes or outline them are no text slots.
    for (int slot : {6, 8, 9})
        EXPECT_EQ(entryFor(audit, slot), nullptr) << "slot " << slot;
}

TEST_F(QualityChecks, BlackTextOnWhiteEverywhereReachesTwentyOne)
{
    make(fullResources());
    SkinPictures pictures;
    pictures.BackgroundSource = uniform({240, 320}, qRgb(255, 255, 255));
    pictures.CursorSource = uniform({120, 18}, qRgb(255, 255, 255));
    document.setPictures(pictures);
    for (int slot = 0; slot < 20; ++slot)
        document.setSlotColour(slot, makeColor(255, 255, 255));
    document.setSlotColour(Slot::ChatMessage, makeColor(0, 0, 0));
    document.setSlotColour(Slot::LeftSoftkey, makeColor(0, 0, 0));
    const QList<SlotLegibility> audit = auditOf(*preview, true);
    const SlotLegibility *chat = entryFor(audit, Slot::ChatMessage);
    const SlotLegibility *softkey = entryFor(audit, Slot::LeftSoftkey);
    ASSERT_TRUE(chat && softkey);
    EXPECT_DOUBLE_EQ(chat->contrast, 21.0);
    EXPECT_EQ(chat->grade, LegibilityGrade::Ok);
    EXPECT_EQ(chat->screen, QStringLiteral("chat"));
    EXPECT_DOUBLE_EQ(softkey->contrast, 21.0);
    // The crop shows the place: it holds the box with a margin, and the text's black.
    EXPECT_GT(chat->crop.width(), chat->box.width());
    EXPECT_LE(chat->crop.width(), chat->box.width() + 12);
    bool sawText = false;
    for (int y = 0; y < chat->crop.height() && !sawText; ++y)
        for (int x = 0; x < chat->crop.width() && !sawText; ++x)
            sawText = chat->crop.pixel(x, y) == qRgb(0, 0, 0);
    EXPECT_TRUE(sawText);
    // White texts on white stay unreadable beside them.
    ASSERT_NE(entryFor(audit, Slot::MenuText), nullptr);
    EXPECT_EQ(entryFor(audit, Slot::MenuText)->grade, LegibilityGrade::Unreadable);
}

TEST_F(QualityChecks, TheWorstTextOfASlotDecidesItsGrade)
{
    make(fullResources());
    // Left half of the background white, right half black, nicks black: the left column's
    // nicks are perfectly readable, the right column's are lost.
    SkinPictures pictures;
    pictures.BackgroundSource = uniform({240, 320}, qRgb(255, 255, 255));
    {
        QPainter p(&pictures.BackgroundSource);
        p.fillRect(120, 0, 120, 320, Qt::black);
    }
    pictures.CursorSource = uniform({120, 18}, qRgb(255, 255, 255));
    document.setPictures(pictures);
    document.setSlotColour(Slot::ContactNick, makeColor(0, 0, 0));
    const QList<SlotLegibility> audit = auditOf(*preview);
    const SlotLegibility *nick = entryFor(audit, Slot::ContactNick);
    ASSERT_NE(nick, nullptr);
    EXPECT_NEAR(nick->contrast, 1.0, 0.01);
    EXPECT_GE(nick->box.left(), 120) << "the box is the right column's";
    EXPECT_TRUE(nick->screen.startsWith(QStringLiteral("contacts")));
}

TEST_F(QualityChecks, TheBlinkingNickIsUsedOnTheContactListsOnly)
{
    make(fullResources());
    const QList<ScreenUsage> usage = usageOf(*preview, Slot::BlinkingNick);
    EXPECT_EQ(screensOf(usage),
              (QStringList{QStringLiteral("contacts"), QStringLiteral("contacts-groups")}));
}

TEST_F(QualityChecks, TheMenuTextIsUsedByMenusSettingsAndTheWindowsOverTheList)
{
    make(fullResources());
    const QStringList screens = screensOf(usageOf(*preview, Slot::MenuText));
    // The notification windows write in the menu text colour too.
    for (const char *name :
         {"menu-left", "menu-right", "chat-menu", "settings", "popup", "notifications"})
        EXPECT_TRUE(screens.contains(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(screens.contains(QStringLiteral("contacts")));
    EXPECT_FALSE(screens.contains(QStringLiteral("contacts-groups")));
}

TEST_F(QualityChecks, UsageRegionsAreTheRenderersAndShowInverted)
{
    make(fullResources());
    const PreviewState base = preview->state();
    const QList<ScreenUsage> usage = usageOf(*preview, Slot::ContactNick, true);
    ASSERT_FALSE(usage.isEmpty());
    ASSERT_EQ(usage.first().screen, QStringLiteral("contacts"));
    // The plain contact list has one layer: its regions for the slot are all of them.
    PreviewState plain = namedScreenState(base, namedScreens().first());
    plain.selection = SelectionMode::SingleElement;
    preview->setState(plain);
    QRegion registered;
    for (const QRegion &r : preview->regions().regions(Slot::ContactNick + 1))
        registered += r;
    EXPECT_EQ(usage.first().region, registered);
    // Inside the region the picture is the plain render inverted, outside it is the same.
    const QImage shown = usage.first().picture;
    const QImage plainPicture = preview->picture();
    const QPoint inside = registered.begin()->topLeft();
    ASSERT_TRUE(registered.contains(inside));
    EXPECT_EQ(shown.pixel(inside), plainPicture.pixel(inside) ^ 0x00FFFFFF);
    EXPECT_EQ(shown.pixel(0, 319), plainPicture.pixel(0, 319));
}

TEST_F(QualityChecks, TheLayerOverAScreenKeepsOnlyItsOwnElements)
{
    make(fullResources());
    // The nick slot paints the contact list under the pop-up, but the pop-up layer itself
    // draws no nick: the pop-up is not a place of that slot.
    const QStringList screens = screensOf(usageOf(*preview, Slot::ContactNick));
    EXPECT_FALSE(screens.contains(QStringLiteral("popup")));
    EXPECT_FALSE(screens.contains(QStringLiteral("menu-left")));
}
