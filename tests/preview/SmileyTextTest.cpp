#include "PreviewFixture.h"
#include "ProgramFolderFixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace previewtest;

namespace {

// The chat window's conversation rectangle is (3, 22, W - 3, H - 84); with an 11-pixel chat
// font a text line is 13 pixels high.
constexpr int kLeft = 3;
constexpr int kTop = 22;
constexpr int lh = 13;

class SmileyText : public ScreenFixture
{
protected:
    // The chat window with this conversation; pictures[k] is the size of smiley k's picture.
    void show(const char *ini, const QList<QSize> &pictures, const QString &text,
              QSize screen = {240, 320})
    {
        PreviewResources res = iconResources();
        res.smiles = TSmiles(ini);
        for (int k = 0; k < pictures.size(); ++k) {
            QImage picture(pictures[k], QImage::Format_RGB32);
            picture.fill(iconColour(Smileys, k));
            res.smiles.images.Add(picture);
            picture.fill(Qt::black);
            res.smiles.images.Add(picture);
        }
        res.chat.ChatText = text;
        make(std::move(res), screen);
        preview->setFont(&PreviewState::chatFont, pixelFont(11));
        preview->setActiveScreen(PreviewScreen::Chat);
    }
    // The conversation's text pieces of a slot.
    QList<QRect> pieces(int slot) const { return boxes(slot, kTop - 1); }
};

} // namespace

TEST_F(SmileyText, EarliestCodeWinsAndTiesGoToTheEarlierSmileyAndCode)
{
    // ":)" precedes ":))" in the set: ":))" is the smiley ":)" followed by the text ")".
    show(":)\r\n:))\r\n", {{12, 12}, {12, 12}}, QStringLiteral(":))"));
    EXPECT_EQ(pixel(kLeft + 1 + 6, kTop + 1 + 6), iconColour(Smileys, 0));
    ASSERT_EQ(pieces(0).size(), 1);
    EXPECT_EQ(pieces(0)[0].left() + 1, kLeft + 12 + 2);
    EXPECT_EQ(pieces(0)[0].width() - 2, textWidth(11, QStringLiteral(")")));
    // Within a smiley the earlier code wins.
    show(":),:))\r\n", {{12, 12}}, QStringLiteral(":))"));
    EXPECT_EQ(pieces(0).size(), 1);
    show(":)),:)\r\n", {{12, 12}}, QStringLiteral(":))"));
    EXPECT_TRUE(pieces(0).isEmpty());
    // An empty code matches nothing; a smiley without a picture stays text.
    show(":),\r\n;)\r\n", {{12, 12}}, QStringLiteral("ab ;)"));
    EXPECT_EQ(pieces(0).value(1).width() - 2, textWidth(11, QStringLiteral(";)")));
}

TEST_F(SmileyText, ColourMarkersSwitchSlotAndStartANewLine)
{
    for (const QString &between : {QStringLiteral("\r\n"), QString()}) {
        show("", {},
             QStringLiteral("<~~<color14>~~>Вася 12:00") + between +
                 QStringLiteral("<~~<color16>~~>Привет"));
        EXPECT_TRUE(pieces(0).isEmpty()) << "nothing before the first marker";
        const QRect nick = pieces(13).value(0);
        const QRect message = pieces(15).value(0);
        EXPECT_EQ(pieces(13).value(1).top(), nick.top());
        EXPECT_EQ(message.topLeft(), QPoint(kLeft - 1, nick.top() + lh));
        EXPECT_EQ(slotAt(nick.center().x(), nick.center().y()), 13);
        EXPECT_EQ(slotAt(message.center().x(), message.center().y()), 15);
    }
    // Markers that name no slot end the segment but keep the colour.
    show("", {}, QStringLiteral("<~~<color14>~~>a<~~<color99>~~>b<~~<colorx1>~~>c"));
    ASSERT_EQ(pieces(13).size(), 3);
    EXPECT_EQ(pieces(13)[2].top() - pieces(13)[0].top(), 2 * lh);
}

TEST_F(SmileyText, OverLongWordsBreakAtTheLastCharacterThatFits)
{
    const QString word(14, QChar(u'Ш'));
    show("", {}, QStringLiteral("ab ") + word, {100, 320});
    int n = 0;
    while (textWidth(11, word.left(n + 1)) <= 100 - 6)
        ++n;
    const QList<QRect> text = pieces(0);
    ASSERT_EQ(text.size(), 3);
    EXPECT_EQ(text[1].topLeft(), QPoint(kLeft - 1, text[0].top() + lh));
    EXPECT_EQ(text[2].topLeft(), QPoint(kLeft - 1, text[0].top() + 2 * lh));
    EXPECT_EQ(text[1].width() - 2, textWidth(11, word.left(n)));
    EXPECT_EQ(text[2].width() - 2, textWidth(11, word.mid(n)));
    // Narrower than one letter: a letter a line, and the drawing still ends.
    show("", {}, QStringLiteral("ШШШ"), {8, 320});
    ASSERT_EQ(pieces(0).size(), 3);
    EXPECT_EQ(pieces(0)[2].top() - pieces(0)[0].top(), 2 * lh);
}

TEST_F(SmileyText, DrawingStopsAtTheFirstPieceThatDoesNotFit)
{
    const int lines = (320 - 84 - kTop) / lh;
    show("", {}, QStringLiteral("line\r\n").repeated(40));
    EXPECT_EQ(pieces(0).size(), lines);
    // A tall smiley after the last line that fits is left out entirely.
    show(":)\r\n", {{20, 30}},
         QStringLiteral("line\r\n").repeated(lines - 1) + QStringLiteral(":)"));
    for (int y = kTop; y < 320; ++y)
        ASSERT_NE(pixel(kLeft + 5, y), iconColour(Smileys, 0)) << y;
}

TEST_F(SmileyText, TallSmileysRaiseTheirLineAndNeverLowerIt)
{
    show(":)\r\n;)\r\n", {{20, 30}, {10, 20}}, QStringLiteral("ab :)cd ;)ef\r\nnext"));
    const QList<QRect> text = pieces(0);
    ASSERT_EQ(text.size(), 4);
    EXPECT_EQ(text[0].top() + 1, kTop + (32 - lh) / 2) << "centred in the taller line";
    EXPECT_EQ(text[2].top(), text[0].top());
    EXPECT_EQ(text[3].top() + 1, kTop + 32) << "the smaller smiley keeps the line's height";
    const int x = kLeft + textWidth(11, QStringLiteral("ab ")) + 1;
    EXPECT_EQ(pixel(x, kTop + 1), iconColour(Smileys, 0));
    EXPECT_EQ(pixel(x, kTop + 30), iconColour(Smileys, 0));
}
