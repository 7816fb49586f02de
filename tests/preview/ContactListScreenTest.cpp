#include "PreviewFixture.h"
#include "core/Cp1251.h"
#include "preview/PhonePreview.h"

#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

PreviewResources iconResources(const CL &list)
{
    PreviewResources res = previewtest::iconResources();
    res.loadedList = list;
    return res;
}

CL sample(unsigned seed = 5)
{
    std::mt19937 random(seed);
    return sampleContactList(random);
}

CL oneGroup(int contacts, quint8 status = 7)
{
    Group group{QStringLiteral("G"), {}, false};
    for (int i = 0; i < contacts; ++i)
        group.Contacts.append({QStringLiteral("n%1").arg(i), status, 255, 255, false, false});
    return {{group}};
}

class Screen : public ::testing::Test
{
protected:
    void make(const CL &list, QSize size = {240, 320})
    {
        preview = std::make_unique<PhonePreview>(iconResources(list), document);
        preview->stopBlinking();
        {
            RenderBatch batch(preview.get());
            preview->setState(previewtest::listedState());
            preview->setScreenSize(size);
            preview->setClock([] { return QTime(9, 5); });
        }
    }

    // Bounding boxes of a slot's regions, in registration order.
    QList<QRect> boxes(int slot) const
    {
        QList<QRect> result;
        for (const QRegion &r : preview->regions().regions(slot + 1))
            result.append(r.boundingRect());
        return result;
    }

    int slotAt(int x, int y)
    {
        preview->hitTest(x, y);
        return preview->HighlightHidden() ? -1 : preview->HoverSlot() - 1;
    }

    SkinDocument document;
    std::unique_ptr<PhonePreview> preview;
};

} // namespace

TEST_F(Screen, ABatchHoldsRenderingUntilItEnds)
{
    make(sample());
    const QImage before = preview->picture();
    {
        RenderBatch batch(preview.get());
        preview->setColour(1, makeColor(255, 0, 0));
        preview->setColumns(4);
        EXPECT_EQ(preview->picture(), before);
    }
    EXPECT_NE(preview->picture(), before);
}

TEST_F(Screen, GroupsWithOnlineContactsInTwoColumns)
{
    make(sample());
    preview->setOption(&PreviewState::showGroups, true);
    preview->setOption(&PreviewState::showOffline, false);
    const QList<QRect> headers = boxes(3);
    ASSERT_EQ(headers.size(), 4);
    // Every header row is followed by its online contacts, two a line.
    const CL display = buildDisplayList(preview->resources().loadedList, true, false, true);
    int expectedRows = 0;
    for (const Group &g : display.Groups)
        expectedRows += 1 + int((g.Contacts.size() + 1) / 2);
    const int R = 16 + 2;
    EXPECT_EQ(headers[1].top() - headers[0].top(),
              R * (1 + int((display.Groups[0].Contacts.size() + 1) / 2)));
    EXPECT_LE(expectedRows * R, 320);
}

TEST_F(Screen, OnlineOfflineSeparatorsAreCentredBetweenTwoLines)
{
    make(sample());
    preview->setOption(&PreviewState::showGroups, false);
    preview->setOption(&PreviewState::showOffline, true);
    // Each separator registers its left line, right line and caption.
    const QList<QRect> slot3 = boxes(3);
    ASSERT_EQ(slot3.size(), 6);
    const QRect leftLine = slot3[0];
    const QRect rightLine = slot3[1];
    const QRect caption = slot3[2];
    EXPECT_EQ(leftLine.left(), 1);
    EXPECT_EQ(leftLine.height(), 5);
    EXPECT_LT(leftLine.right(), caption.left() + 1);
    EXPECT_GT(rightLine.left(), caption.right() - 1);
    EXPECT_EQ(slotAt(caption.center().x(), caption.center().y()), 3);

    preview->setOption(&PreviewState::showOffline, false);
    EXPECT_EQ(boxes(3).size(), 3) << "only the online header";
}

TEST_F(Screen, ThreeColumnsOfSevenTakeThreeLines)
{
    make(oneGroup(7));
    preview->setColumns(3);
    const QList<QRect> nicks = boxes(0);
    // The first slot-0 region is the own-status row at the bottom; then the seven contacts.
    ASSERT_EQ(nicks.size(), 8);
    const int cw = (240 - 2) / 3;
    const int R = 18;
    // A row at y draws its 11-pixel text at y + 3 + (16 - 11) / 2; the region starts a pixel up.
    for (int i = 0; i < 7; ++i) {
        const QRect r = nicks[i + 1];
        EXPECT_EQ(r.top() - 4, R * (1 + i / 3)) << i;
        EXPECT_EQ((r.left() + 1 - 3 - 17) / cw, i % 3) << i;
    }
    EXPECT_TRUE(boxes(8).isEmpty()) << "no scroll bar for a short list";
}

TEST_F(Screen, LongListsGetAScrollBarAndStopAboveTheIcons)
{
    make(oneGroup(60));
    preview->setColumns(1);
    ASSERT_FALSE(boxes(8).isEmpty());
    ASSERT_FALSE(boxes(9).isEmpty());
    ASSERT_FALSE(boxes(6).isEmpty());
    const int yi = 320 - 16 - 6 - 16;
    const QList<QRect> nicks = boxes(0);
    for (int i = 1; i < nicks.size(); ++i) {
        EXPECT_LT(nicks[i].bottom(), yi) << i;
        EXPECT_LE(nicks[i].left() + 1 + nicks[i].width(), 240 + 2);
    }
    EXPECT_EQ(slotAt(239, 5), 8) << "the band around the track's outline";
    EXPECT_EQ(slotAt(236, 5), 9) << "inside the track";
    // With M = 9 the row narrows: the row ends 9 pixels from the right edge.
    EXPECT_LT(int(nicks.size()), 61);
}

TEST_F(Screen, MiniClockSitsTenPixelsLower)
{
    make(sample());
    const QRect normal = boxes(2).value(0);
    preview->setOption(&PreviewState::miniClock, true);
    const QRect mini = boxes(2).value(0);
    EXPECT_EQ(mini.top() - normal.top(), 10);
    EXPECT_LT(mini.height(), normal.height());
    EXPECT_EQ(preview->clockText(), QStringLiteral("09:05"));
}

TEST_F(Screen, SoftkeyLabelsFollowTheMenuSide)
{
    make(sample());
    const QFont softkey = PhoneFont{QStringLiteral("Nokia Hindi S60"), 16, true, false}.toQFont();
    const QFontMetrics metrics(softkey);
    const auto width = [&](const char16_t *text) {
        return metrics.horizontalAdvance(QString::fromUtf16(text)) + 2;
    };
    EXPECT_EQ(boxes(4).value(0).width(), width(u"Меню"));
    EXPECT_EQ(boxes(5).value(0).width(), width(u"Функции"));
    preview->setOption(&PreviewState::showMenu, true);
    preview->setOption(&PreviewState::menuLeft, true);
    EXPECT_EQ(boxes(4).value(0).width(), width(u"Выбрать"));
    EXPECT_EQ(boxes(5).value(0).width(), width(u"Функции"));
    preview->setOption(&PreviewState::menuLeft, false);
    EXPECT_EQ(boxes(4).value(0).width(), width(u"Меню"));
    EXPECT_EQ(boxes(5).value(0).width(), width(u"Отмена"));
    EXPECT_EQ(boxes(5).value(0).right(), 240 - 3);
}

TEST_F(Screen, CursorBeatsBlinkingAndBlinkingKeepsItsRegion)
{
    CL list = oneGroup(3);
    list.Groups[0].Contacts[0].Cursor = true;
    list.Groups[0].Contacts[0].Blinking = true;
    list.Groups[0].Contacts[1].Blinking = true;
    make(list);
    for (bool phase : {false, true}) {
        preview->setOption(&PreviewState::blinkPhase, phase);
        EXPECT_EQ(boxes(1).size(), 1) << phase;
        EXPECT_EQ(boxes(17).size(), 1) << phase;
        EXPECT_EQ(boxes(0).size(), 2) << "own status row and the plain contact";
    }
    // The lit phase paints the nick in slot 17's colour.
    preview->setColour(18, makeColor(255, 0, 0));
    preview->setOption(&PreviewState::blinkPhase, true);
    const QRect lit = boxes(17).first();
    bool red = false;
    for (int x = lit.left(); x <= lit.right(); ++x)
        for (int y = lit.top(); y <= lit.bottom(); ++y)
            red = red || preview->picture().pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_TRUE(red);
}

TEST_F(Screen, HoverInvertsTheElementUnderThePointer)
{
    make(sample());
    const QRect clock = boxes(2).first();
    const QImage before = preview->picture();
    ASSERT_TRUE(preview->hitTest(clock.center().x(), clock.center().y()));
    preview->Render();
    const QPoint p = clock.topLeft();
    EXPECT_EQ(preview->picture().pixel(p) & 0xFFFFFF, ~before.pixel(p) & 0xFFFFFF);
    EXPECT_FALSE(preview->hitTest(clock.center().x() + 1, clock.center().y()));
}

TEST_F(Screen, OddStatusesAndMissingIconsDrawNothingAndNeverCrash)
{
    CL list = oneGroup(3);
    list.Groups[0].Contacts[0].Status = 200;
    list.Groups[0].Contacts[1].XStatusIcon = 250;
    list.Groups[0].Contacts[2].ClientIcon = 254;
    make(list);
    EXPECT_EQ(PhoneScreen::statusCode(22), 255);
    EXPECT_EQ(PhoneScreen::statusCode(19), 26);
    // No icons at all, as after failed loads.
    PhonePreview bare{PreviewResources(), document};
    bare.stopBlinking();
    bare.setOption(&PreviewState::showGroups, true);
    bare.Render();
    EXPECT_EQ(bare.picture().size(), QSize(240, 320));
}

TEST_F(Screen, BlinkTimerTicksOnlyOnTheContactList)
{
    make(sample());
    int renders = 0;
    QObject::connect(preview.get(), &PhonePreview::rendered, [&] { ++renders; });
    const auto wait = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    preview->setActiveScreen(PreviewScreen::Chat);
    renders = 0;
    preview->startBlinking();
    wait(1100);
    EXPECT_EQ(renders, 0);
    preview->setActiveScreen(PreviewScreen::ContactList);
    const bool phase = preview->state().blinkPhase;
    renders = 0;
    wait(600);
    EXPECT_GE(renders, 1);
    EXPECT_NE(preview->state().blinkPhase, phase);
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
