#include "preview/mainTolvoPreview.h"

#include "containers/PictureCodecs.h"
#include "platform/ProcessRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>

namespace {

QString missing(const QString &file)
{
    return QStringLiteral("Ошибка!\nФайл \"%1\" не найден").arg(file);
}

class ResourceLoader
{
public:
    ResourceLoader(const QString &folder, const StartupReporter &reporter,
                   const MessageCallback &messages)
        : m_folder(folder)
        , m_reporter(reporter)
        , m_messages(messages)
    {}

    void progress(const QString &text) const
    {
        if (m_reporter.progress)
            m_reporter.progress(text);
    }

    bool fail(const QString &file) const
    {
        if (m_reporter.error)
            m_reporter.error(missing(file));
        return false;
    }

    bool exists(const QString &name) const { return QFileInfo::exists(m_folder + name); }

    void prepareList(TMBMconvImageList &list) const
    {
        list.ToolName = QStringLiteral("bmconv");
        list.WorkFolder = m_folder;
        list.OnMessage = m_messages;
    }

    bool loadIcons(const QString &text, const QString &file, TMBMconvImageList &list) const
    {
        if (!text.isEmpty())
            progress(text);
        if (!exists(file))
            return fail(file);
        prepareList(list);
        (void)list.LoadFromMBM(m_folder + file);
        return true;
    }

    void ensureFolder(const QString &name) const { QDir(m_folder).mkpath(name); }

private:
    QString m_folder;
    const StartupReporter &m_reporter;
    const MessageCallback &m_messages;
};

// Copies icon/mask pairs with their colour modes, so that they draw as they do in their own
// list. Items the source lacks go in empty, so that every later pair keeps its place.
void addPairs(TMBMconvImageList &to, const TMBMconvImageList &from, int first, int count)
{
    for (int i = first; i < first + count; ++i) {
        if (i < from.Count())
            to.AddItem(from.Get(i));
        else
            to.Add(QImage());
    }
}

} // namespace

std::optional<PreviewResources> loadPreviewResources(const QString &programFolder,
                                                     const StartupReporter &reporter,
                                                     std::mt19937 &random,
                                                     const MessageCallback &messages)
{
    ResourceLoader load(programFolder, reporter, messages);
    PreviewResources res;
    load.progress(QStringLiteral("Загрузка иконок x-статусов..."));
    if (platform::findProgram(QStringLiteral("bmconv"), programFolder).isEmpty()) {
        load.fail(QStringLiteral("bmconv"));
        return std::nullopt;
    }
    load.ensureFolder(QStringLiteral("Icons"));
    // The image lists keep their working files in temp/.
    load.ensureFolder(QStringLiteral("temp"));
    if (!load.loadIcons({}, QStringLiteral("ICQ/XStatus.mbm"), res.XStatusIcons) ||
        !load.loadIcons(QStringLiteral("Загрузка иконок статусов..."),
                        QStringLiteral("ICQ/Status.mbm"), res.StatusIcons) ||
        !load.loadIcons(QStringLiteral("Загрузка иконок клиентов..."),
                        QStringLiteral("ICQ/Clients.mbm"), res.ClientIcons) ||
        !load.loadIcons(QStringLiteral("Загрузка иконок приватных статусов..."),
                        QStringLiteral("Icons/pricons.mbm"), res.ProgramIcons) ||
        !load.loadIcons(QStringLiteral("Загрузка иконок меню..."),
                        QStringLiteral("ICQ/PStatus.mbm"), res.PrivateStatusIcons))
        return std::nullopt;

    load.progress(QStringLiteral("Загрузка иконок смайлов..."));
    load.ensureFolder(QStringLiteral("Smilies"));
    const auto ini = readWholeFile(programFolder + QStringLiteral("Smilies/default.ini"));
    if (!ini) {
        load.fail(QStringLiteral("Smilies/default.ini"));
        return std::nullopt;
    }
    res.smiles = TSmiles(*ini);
    TMBMconvImageList smileyPictures;
    if (!load.loadIcons({}, QStringLiteral("Smilies/default.mbm"), smileyPictures))
        return std::nullopt;
    // One picture pair per line of the list, however many the picture file holds, then the
    // message direction pictures and the x-status pictures, which double as smileys.
    load.prepareList(res.smiles.images);
    addPairs(res.smiles.images, smileyPictures, 0, 2 * res.smiles.fileSmileyCount());
    addPairs(res.smiles.images, res.ProgramIcons, 90, 4);
    addPairs(res.smiles.images, res.ProgramIcons, 88, 2);
    addPairs(res.smiles.images, res.XStatusIcons, 0, 2 * TSmiles::kXStatusSmileys);

    const auto chat = readWholeFile(programFolder + QStringLiteral("TextOfChat.txt"));
    if (!chat) {
        load.fail(QStringLiteral("TextOfChat.txt"));
        return std::nullopt;
    }
    res.chat = readChatSample(*chat);
    if (const auto clist = readWholeFile(programFolder + QStringLiteral("CList.txt")))
        res.loadedList = readCList(*clist);
    else
        res.loadedList = sampleContactList(random);
    return res;
}

TTolvoPreview::TTolvoPreview(PreviewResources resources, QObject *parent)
    : QObject(parent)
    , m_res(std::move(resources))
{
    m_colours.fill(kFixedWhite);
    const PhoneFont font = PhoneFont::fromPoints(QStringLiteral("Nokia Hindi S60"), 8, true);
    m_contactListFont = m_chatFont = m_settingsFont = font;
    m_blinkTimer.setInterval(500);
    connect(&m_blinkTimer, &QTimer::timeout, this, &TTolvoPreview::blinkTick);
    m_blinkTimer.start();
}

void TTolvoPreview::blinkTick()
{
    if (m_activeScreen >= 2)
        return;
    m_blinkPhase = !m_blinkPhase;
    Render();
}

void TTolvoPreview::setActiveScreen(int screen)
{
    store(m_activeScreen, screen);
}
void TTolvoPreview::setShowMenu(bool on)
{
    store(m_showMenu, on);
}
void TTolvoPreview::setShowPopup(bool on)
{
    store(m_showPopup, on);
}
void TTolvoPreview::setColumns(int columns)
{
    store(m_columns, qBound(1, columns, 5));
}
void TTolvoPreview::setSortByStatus(bool on)
{
    store(m_sortByStatus, on);
}
void TTolvoPreview::setShowOffline(bool on)
{
    store(m_showOffline, on);
}
void TTolvoPreview::setShowGroups(bool on)
{
    store(m_showGroups, on);
}
void TTolvoPreview::setMiniClock(bool on)
{
    store(m_miniClock, on);
}
void TTolvoPreview::setShowInfoWindows(bool on)
{
    store(m_showInfoWindows, on);
}
void TTolvoPreview::setInfoWindowsLeft(bool on)
{
    store(m_infoWindowsLeft, on);
}
void TTolvoPreview::setShowClients(bool on)
{
    store(m_showClients, on);
}
void TTolvoPreview::setMenuLeft(bool on)
{
    store(m_menuLeft, on);
}
void TTolvoPreview::setContactListFont(const PhoneFont &font)
{
    store(m_contactListFont, font);
}
void TTolvoPreview::setChatFont(const PhoneFont &font)
{
    store(m_chatFont, font);
}
void TTolvoPreview::setSettingsFont(const PhoneFont &font)
{
    store(m_settingsFont, font);
}
void TTolvoPreview::setBlinkPhase(bool on)
{
    store(m_blinkPhase, on);
}

void TTolvoPreview::setScreenSize(QSize size)
{
    store(m_size, size.expandedTo(QSize(1, 1)));
}

void TTolvoPreview::setBackground(const QImage &picture)
{
    store(m_background, picture.convertToFormat(QImage::Format_RGB32));
}

void TTolvoPreview::setCursor(const QImage &picture)
{
    store(m_cursor, picture.convertToFormat(QImage::Format_RGB32));
}

void TTolvoPreview::setColour(int index, TColor colour)
{
    if (index < 0 || index >= kColourTableSize)
        return;
    m_colours[index] = colour;
    Render();
}

void TTolvoPreview::Render()
{
    if (Busy)
        return;
    m_regions.clear();
    m_picture = QImage(m_size, QImage::Format_RGB32);
    m_picture.fill(kTransparentColour);
    {
        QPainter p(&m_picture);
        if (m_activeScreen <= 1)
            DrawContactList(p);
        else if (m_activeScreen == kChatScreen)
            DrawChatWindow(p);
        else if (m_activeScreen == kSettingsScreen)
            DrawSettingsScreen(p);
        // Later layers cover earlier ones, and their regions win where they overlap.
        if (m_showMenu)
            DrawMenus(p);
        if (m_showInfoWindows)
            DrawInfoWindows(p);
        if (m_showPopup)
            DrawPopup(p);
    }
    m_regions.drawHighlight(m_picture);
    emit rendered();
}

void TTolvoPreview::setCanvasFont(QPainter &p, const PhoneFont &font)
{
    m_canvasFont = font;
    p.setFont(font.toQFont());
}

void TTolvoPreview::addRegion(int slot, int left, int top, int right, int bottom)
{
    m_regions.add(slot + 1,
                  QRegion(QRect(left, top, qMax(0, right - left), qMax(0, bottom - top))));
}

void TTolvoPreview::clippedText(QPainter &p, int colourSlot, const QString &text, int x, int y,
                                const QRect &clip, int regionSlot)
{
    const QFontMetrics metrics(p.font());
    const int w = metrics.horizontalAdvance(text);
    const int h = metrics.height();
    p.setPen(slotColour(colourSlot));
    p.setClipRect(clip);
    p.drawText(x, y + metrics.ascent(), text);
    p.setClipping(false);
    addRegion(regionSlot, x - 1, y - 1, x + w + 1, y + h + 1);
}

void TTolvoPreview::textLabel(QPainter &p, int colourSlot, const QString &text, int x, int y,
                              int regionSlot)
{
    const QFontMetrics metrics(p.font());
    const QRect all(x, y, metrics.horizontalAdvance(text), metrics.height());
    clippedText(p, colourSlot, text, x, y, all, regionSlot);
}

void TTolvoPreview::framedBox(QPainter &p, int outlineSlot, int x1, int y1, int x2, int y2,
                              int fillSlot)
{
    p.setPen(slotColour(outlineSlot));
    p.setBrush(slotColour(fillSlot));
    // A one-pixel outline on the box's edge pixels, as the phone draws rectangles.
    if (x2 > x1 && y2 > y1)
        p.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    p.setBrush(Qt::NoBrush);
    if (m_colours[outlineSlot + 1] == m_colours[fillSlot + 1]) {
        addRegion(outlineSlot, x1, y1, x2, y2);
        return;
    }
    const QRegion outer(QRect(x1 - 3, y1 - 3, x2 - x1 + 6, y2 - y1 + 6));
    const QRect inner(x1 + 2, y1 + 2, qMax(0, x2 - x1 - 4), qMax(0, y2 - y1 - 4));
    m_regions.add(outlineSlot + 1, outer - QRegion(inner));
    m_regions.add(fillSlot + 1, QRegion(inner));
}

void TTolvoPreview::drawSoftkeys(QPainter &p, const QString &left, const QString &right)
{
    setCanvasFont(p, {QStringLiteral("Nokia Hindi S60"), 16, true, false});
    const int y = m_size.height() - 16;
    textLabel(p, 4, left, 6, y, 4);
    textLabel(p, 5, right, m_size.width() - QFontMetrics(p.font()).horizontalAdvance(right) - 6, y,
              5);
}

int TTolvoPreview::menuRowHeight(int fontHeight) const
{
    return std::max({m_res.StatusIcons.Height(), m_res.XStatusIcons.Height(),
                     m_res.ClientIcons.Height(), fontHeight}) +
           2;
}

int TTolvoPreview::statusCode(int status)
{
    if (status < 0 || status >= int(kStatusCodes.size()))
        return 255;
    return kStatusCodes[status];
}

QString TTolvoPreview::clockText() const
{
    QString text = m_clock().toString(QStringLiteral("H:mm:ss"));
    text.chop(3);
    if (text.size() == 4)
        text.prepend(u'0');
    return text;
}
