#include "preview/ScreenPainter.h"

#include <QFontMetrics>
#include <QPainter>

#include <optional>

namespace {

// "<~~<color", two digits of a colour table index, ">~~>".
constexpr QStringView kColourMarker = u"<~~<color";
constexpr qsizetype kIndexLength = 2;
constexpr qsizetype kMarkerTailLength = 4;
constexpr QStringView kLineEnd = u"\r\n";

// The colour table index the two characters after a marker name, if they name one (1..20).
std::optional<int> colourIndex(QStringView digits)
{
    if (digits.size() != kIndexLength)
        return std::nullopt;
    int index = 0;
    for (QChar ch : digits) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        index = index * 10 + (ch.unicode() - u'0');
    }
    if (index < 1 || index > TSelRects::kSlots)
        return std::nullopt;
    return index;
}

// Lays out one marked-up text. Positions are relative to the rectangle's top-left corner; c is
// the height of the line being filled, which smileys on it raise.
class SmileyWriter
{
public:
    SmileyWriter(ScreenPainter &preview, QPainter &p, int left, int top, int right, int bottom,
                 int fontHeight)
        : m_preview(preview)
        , m_p(p)
        , m_smiles(preview.resources().smiles)
        , m_metrics(p.font())
        , m_left(left)
        , m_top(top)
        , m_rw(right - left)
        , m_rh(bottom - top)
        , m_lh(fontHeight + 2)
        , m_c(m_lh)
    {}

    void draw(QStringView text)
    {
        int colour = 1;
        qsizetype from = 0;
        while (from < text.size()) {
            const qsizetype marker = text.indexOf(kColourMarker, from);
            const qsizetype end = marker < 0 ? text.size() : marker;
            const QStringView segment = text.mid(from, end - from);
            std::optional<int> next;
            if (marker < 0) {
                from = text.size();
            } else {
                const qsizetype digits = marker + kColourMarker.size();
                next = colourIndex(text.mid(digits).left(kIndexLength));
                from = digits + kIndexLength + kMarkerTailLength;
            }
            if (!drawSegment(segment, colour))
                return;
            // A marker that names no slot leaves the colour as it was.
            if (next)
                colour = *next;
        }
    }

private:
    struct Found
    {
        qsizetype position = -1;
        qsizetype length = 0;
        int smiley = -1;
    };

    // A segment ends its last line, so the text after a colour change starts on a line of its
    // own; a final CR LF does not open another, empty line.
    bool drawSegment(QStringView segment, int colour)
    {
        m_slot = colour - 1;
        qsizetype from = 0;
        while (from < segment.size()) {
            const qsizetype end = segment.indexOf(kLineEnd, from);
            const QStringView line = end < 0 ? segment.mid(from) : segment.mid(from, end - from);
            from = end < 0 ? segment.size() : end + kLineEnd.size();
            if (!drawLine(line))
                return false;
        }
        return true;
    }

    bool drawLine(QStringView line)
    {
        m_c = m_lh;
        for (;;) {
            const Found found = earliestCode(line);
            if (found.smiley < 0)
                return drawWords(line) && endLine();
            if (!drawWords(line.left(found.position)))
                return false;
            line = line.mid(found.position + found.length);
            if (!placeSmiley(found.smiley))
                return false;
        }
    }

    bool endLine()
    {
        m_y += m_c;
        m_x = 0;
        return true;
    }

    // The first code in the line; at equal positions the smiley earlier in the set wins, and
    // within a smiley its earlier code. Every smiley that is the best so far makes room for its
    // picture in the line, so the text before it is centred in the taller line.
    Found earliestCode(QStringView line)
    {
        Found best;
        const QList<TSmile> &smileys = m_smiles.smileys();
        for (int k = 0; k < int(smileys.size()); ++k) {
            // A smiley without a picture stays text.
            if (!hasPicture(k))
                continue;
            for (const QString &code : smileys[k].codes) {
                // An empty code would match everywhere without consuming anything.
                if (code.isEmpty())
                    continue;
                const qsizetype at = line.indexOf(code);
                if (at < 0 || (best.smiley >= 0 && at >= best.position))
                    continue;
                best = {at, code.size(), k};
                const int h = picture(k).height();
                if (m_c < h)
                    m_c = h + 2;
            }
        }
        return best;
    }

    bool drawWords(QStringView text)
    {
        qsizetype from = 0;
        while (from < text.size()) {
            const qsizetype space = text.indexOf(u' ', from);
            const qsizetype end = space < 0 ? text.size() : space + 1;
            if (!drawWord(text.mid(from, end - from)))
                return false;
            from = end;
        }
        return true;
    }

    bool drawWord(QStringView word)
    {
        while (!word.isEmpty()) {
            const int w = m_preview.textWidth(m_p.font(), word.toString());
            if (w <= m_rw) {
                if (m_rw - m_x < w)
                    newLine();
                if (m_rh < m_c + m_y)
                    return false;
                label(word, m_left + m_x);
                m_x += w;
                return true;
            }
            // Wider than the whole rectangle: break it where it stops fitting.
            const qsizetype n = fittingPrefix(word);
            if (m_x != 0)
                newLine();
            if (m_rh < m_c + m_y)
                return false;
            label(word.left(n), m_left);
            m_y += m_c;
            m_c = m_lh;
            word = word.mid(n);
        }
        return true;
    }

    // The longest prefix no wider than the rectangle, but never empty, so that a rectangle
    // narrower than one character still gets through the word, a character a line.
    qsizetype fittingPrefix(QStringView word) const
    {
        qsizetype low = 0;
        qsizetype high = word.size();
        while (low < high) {
            const qsizetype mid = (low + high + 1) / 2;
            if (m_metrics.horizontalAdvance(word.left(mid).toString()) <= m_rw)
                low = mid;
            else
                high = mid - 1;
        }
        if (low > 0 && low < word.size() && word[low - 1].isHighSurrogate())
            --low;
        if (low == 0)
            low = word.size() > 1 && word[0].isHighSurrogate() ? 2 : 1;
        return low;
    }

    bool placeSmiley(int k)
    {
        const QSize size = picture(k).size();
        if (m_rw - m_x < size.width() + 1)
            newLine();
        // Never lower a line that already holds a taller picture.
        if (m_lh < size.height() + 2)
            m_c = std::max(m_c, size.height() + 2);
        if (m_rh < m_c + m_y)
            return false;
        m_smiles.images.DrawMasked(m_p, m_left + m_x + 1, m_top + m_y + (m_c - size.height()) / 2,
                                   2 * k);
        m_x += size.width() + 2;
        return true;
    }

    void newLine()
    {
        m_y += m_c;
        m_c = m_lh;
        m_x = 0;
    }

    void label(QStringView text, int x)
    {
        m_preview.textLabel(m_p, m_slot, text.toString(), x, m_top + m_y + (m_c - m_lh) / 2,
                            m_slot);
    }

    bool hasPicture(int k) const { return 2 * k < m_smiles.images.Count() && !picture(k).isNull(); }
    const QImage &picture(int k) const { return m_smiles.images.Get(2 * k).Bitmap; }

    ScreenPainter &m_preview;
    QPainter &m_p;
    const TSmiles &m_smiles;
    const QFontMetrics m_metrics;
    const int m_left;
    const int m_top;
    const int m_rw;
    const int m_rh;
    const int m_lh;
    int m_c;
    int m_x = 0;
    int m_y = 0;
    int m_slot = 0;
};

} // namespace

void ScreenPainter::DrawSmileyText(QPainter &p, int left, int top, int right, int bottom,
                                   const QString &text)
{
    p.setBackgroundMode(Qt::TransparentMode);
    SmileyWriter(*this, p, left, top, right, bottom, m_canvasFont.pixelHeight()).draw(text);
}
