#include "core/SettingsFile.h"

#include "core/Cp1251.h"

#include <QCoreApplication>

#include <algorithm>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace {

QString keyLine(const char *name)
{
    return QStringLiteral("{ %1 }").arg(QLatin1String(name));
}

std::optional<int> number(const QString &line)
{
    bool ok = false;
    const int value = line.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// Keys that can only tick their box: any other value leaves it as it is.
void tick(const QString &line, bool &flag)
{
    if (line == u"1")
        flag = true;
}

using Values = std::span<const QString>;

// One key of the reader: its name, how many value lines follow it and what they set. apply
// returns false when a number did not read; it then has changed nothing.
struct ReaderKey
{
    const char *name;
    int lines;
    std::function<bool(Values, SettingsValues &)> apply;
};

bool readPosition(Values v, QPoint &position)
{
    const auto left = number(v[0]);
    const auto top = number(v[1]);
    if (!left || !top)
        return false;
    position = QPoint(*left, *top);
    return true;
}

bool readNumber(const QString &line, int &target)
{
    const auto value = number(line);
    if (value)
        target = *value;
    return value.has_value();
}

bool readFormat(Values v, int &format, int &quality)
{
    const auto q = number(v[1]);
    if (!q)
        return false;
    if (v[0] == u"0" || v[0] == u"1" || v[0] == u"2")
        format = v[0].toInt();
    quality = *q;
    return true;
}

bool readDesktop(Values v, SettingsValues &s)
{
    if (!number(v[0]) || !number(v[1]))
        return false;
    s.screenWidth = v[0];
    s.screenHeight = v[1];
    tick(v[2], s.phoneFrame);
    // An empty name is a name the writer could not write: the list keeps its choice.
    if (!v[3].isEmpty())
        s.modelName = v[3];
    return true;
}

int styleOf(const QString &line)
{
    const auto code = number(line);
    return code && *code >= 0 && *code <= 3 && line == QString::number(*code) ? *code : 0;
}

bool readFonts(Values v, SettingsValues &s)
{
    std::array<int, 3> sizes{};
    for (int i = 0; i < 3; ++i) {
        const auto size = number(v[6 + i]);
        if (!size)
            return false;
        sizes[i] = *size;
    }
    for (int i = 0; i < 3; ++i) {
        if (!v[2 * i].isEmpty())
            s.fonts[i].name = v[2 * i];
        s.fonts[i].style = styleOf(v[2 * i + 1]);
        s.fonts[i].size = sizes[i];
    }
    return true;
}

// A key that can only tick its box.
std::function<bool(Values, SettingsValues &)> tickKey(bool SettingsValues::*flag)
{
    return [flag](Values v, SettingsValues &s) {
        tick(v[0], s.*flag);
        return true;
    };
}

// A key of one number.
std::function<bool(Values, SettingsValues &)> numberKey(int SettingsValues::*field)
{
    return [field](Values v, SettingsValues &s) {
        return readNumber(v[0], s.*field);
    };
}

// The reader's fixed order of comparison.
const std::array<ReaderKey, 23> &readerKeys()
{
    static const std::array<ReaderKey, 23> keys = {{
        {"SetupForm Position", 2,
         [](Values v, SettingsValues &s) {
             return readPosition(v, s.setupFormPosition);
         }},
        {"Alpha of ColorForm", 1, numberKey(&SettingsValues::colourWindowAlpha)},
        {"PreviewForm Position", 2,
         [](Values v, SettingsValues &s) {
             return readPosition(v, s.previewFormPosition);
         }},
        {"LastShellPath", 1,
         [](Values v, SettingsValues &s) {
             if (!v[0].isEmpty())
                 s.lastShellPath = v[0];
             return true;
         }},
        {"Backgroung", 2,
         [](Values v, SettingsValues &s) {
             return readFormat(v, s.backgroundFormat, s.backgroundQuality);
         }},
        {"Cursor", 2,
         [](Values v, SettingsValues &s) {
             return readFormat(v, s.cursorFormat, s.cursorQuality);
         }},
        {"SelectRegion", 1, numberKey(&SettingsValues::selectRegion)},
        {"PreviewShowWindow", 1, tickKey(&SettingsValues::showWindow)},
        {"PreviewShowMenu", 2,
         [](Values v, SettingsValues &s) {
             tick(v[0], s.showMenu);
             tick(v[1], s.menuLeft);
             return true;
         }},
        {"OldInterface", 1, tickKey(&SettingsValues::oldInterface)},
        {"PreviewShowSettings", 1, tickKey(&SettingsValues::showSettings)},
        {"PreviewShowClients", 1, tickKey(&SettingsValues::showClients)},
        {"ShowInfoWindows", 2,
         [](Values v, SettingsValues &s) {
             s.showInfoWindows = v[0] == u"1";
             s.infoWindowsLeft = v[1] == u"1";
             return true;
         }},
        {"Expert", 1,
         [](Values v, SettingsValues &s) {
             s.expert = v[0] == u"1";
             return true;
         }},
        {"miniClock", 1, tickKey(&SettingsValues::miniClock)},
        {"PreviewDesktop", 4, readDesktop},
        {"PreviewSortByStatus", 1, numberKey(&SettingsValues::sortIndex)},
        {"PreviewShowOffline", 1, tickKey(&SettingsValues::showOffline)},
        {"SetupForm Show", 1, tickKey(&SettingsValues::setupFormShow)},
        {"PreviewShowGroup", 1, tickKey(&SettingsValues::showGroup)},
        {"PreviewColumns", 1, numberKey(&SettingsValues::columns)},
        {"symbian 9.1 or 9.2", 1, numberKey(&SettingsValues::symbianIndex)},
        {"Fonts2", 9, readFonts},
    }};
    return keys;
}

QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines = cp1251::decode(bytes).split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    // The line end after the last line does not start another one.
    if (!lines.isEmpty() && lines.last().isEmpty() && bytes.endsWith('\n'))
        lines.removeLast();
    return lines;
}

} // namespace

int settingsFontStyle(bool bold, bool italic, bool underline, bool strikeOut)
{
    if (underline || strikeOut)
        return 0;
    return (bold ? 1 : 0) + (italic ? 2 : 0);
}

QStringList readSettings(const QByteArray &bytes, SettingsValues &values)
{
    const QStringList lines = splitLines(bytes);
    QStringList problems;
    qsizetype next = 0;
    // Value lines missing at the end of the file read as empty lines.
    const auto readLine = [&] {
        return next < lines.size() ? lines[next++] : QString();
    };
    while (next < lines.size()) {
        QString current = readLine();
        for (const ReaderKey &key : readerKeys()) {
            if (current != keyLine(key.name))
                continue;
            std::vector<QString> read;
            for (int i = 0; i < key.lines; ++i)
                read.push_back(readLine());
            // Later keys are compared with the last value line read.
            current = read.back();
            SettingsValues trial = values;
            if (key.apply(read, trial))
                values = trial;
            else
                problems.append(
                    QCoreApplication::translate(
                        "Settings", "Settings: \"%1\" holds a value that is not a number; ignored")
                        .arg(keyLine(key.name)));
        }
    }
    return problems;
}

namespace {

class Writer
{
public:
    void key(const char *name) { line(keyLine(name)); }
    void line(const QString &text)
    {
        const bool encodable = std::all_of(text.begin(), text.end(), cp1251::isEncodable);
        m_bytes += encodable ? cp1251::encode(text) : QByteArray();
        m_bytes += "\r\n";
    }
    void number(int value) { line(QString::number(value)); }
    void flag(bool on) { line(on ? QStringLiteral("1") : QStringLiteral("0")); }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace

QByteArray writeSettings(const SettingsValues &s)
{
    Writer w;
    w.key("PreviewDesktop");
    w.line(s.screenWidth);
    w.line(s.screenHeight);
    w.flag(s.phoneFrame);
    w.line(s.modelName);
    w.key("SetupForm Position");
    w.number(s.setupFormPosition.x());
    w.number(s.setupFormPosition.y());
    w.key("Alpha of ColorForm");
    w.number(s.colourWindowAlpha);
    w.key("SetupForm Show");
    w.flag(s.setupFormShow);
    w.key("PreviewForm Position");
    w.number(s.previewFormPosition.x());
    w.number(s.previewFormPosition.y());
    w.key("Backgroung");
    w.number(s.backgroundFormat);
    w.number(s.backgroundQuality);
    w.key("Cursor");
    w.number(s.cursorFormat);
    w.number(s.cursorQuality);
    w.key("PreviewShowWindow");
    w.flag(s.showWindow);
    w.key("PreviewShowSettings");
    w.flag(s.showSettings);
    w.key("PreviewSortByStatus");
    w.number(s.sortIndex);
    w.key("SelectRegion");
    w.number(s.selectRegion);
    w.key("PreviewShowOffline");
    w.flag(s.showOffline);
    w.key("PreviewShowGroup");
    w.flag(s.showGroup);
    w.key("Expert");
    w.flag(s.expert);
    w.key("PreviewShowMenu");
    w.flag(s.showMenu);
    w.flag(s.menuLeft);
    w.key("ShowInfoWindows");
    w.flag(s.showInfoWindows);
    w.flag(s.infoWindowsLeft);
    w.key("miniClock");
    w.flag(s.miniClock);
    w.key("OldInterface");
    w.flag(s.oldInterface);
    w.key("LastShellPath");
    w.line(s.lastShellPath);
    w.key("PreviewShowClients");
    w.flag(s.showClients);
    w.key("Fonts2");
    for (const SettingsFont &font : s.fonts) {
        w.line(font.name);
        w.number(font.style);
    }
    for (const SettingsFont &font : s.fonts)
        w.number(font.size);
    w.key("PreviewColumns");
    w.number(s.columns);
    w.key("symbian 9.1 or 9.2");
    w.number(s.symbianIndex);
    return w.bytes();
}

QByteArray defaultSettingsText(const QString &desktopFolder)
{
    const QString desktop =
        std::all_of(desktopFolder.begin(), desktopFolder.end(), cp1251::isEncodable) ? desktopFolder
                                                                                     : QString();
    const QString text =
        QStringLiteral("{ SetupForm Position }\r\n335\r\n0\r\n"
                       "{ Alpha of ColorForm }\r\n243\r\n"
                       "{ SetupForm Show }\r\n0\r\n"
                       "{ PreviewForm Position }\r\n0\r\n0\r\n"
                       "{ Backgroung }\r\n0\r\n80\r\n"
                       "{ Cursor }\r\n0\r\n80\r\n"
                       "{ PreviewShowWindow }\r\n0\r\n"
                       "{ PreviewShowSettings }\r\n0\r\n"
                       "{ PreviewDesktop }\r\n240\r\n320\r\n1\r\n"
                       "Nokia 6120 (240*320)\r\n"
                       "{ PreviewSortByStatus }\r\n0\r\n"
                       "{ SelectRegion }\r\n1\r\n"
                       "{ PreviewShowOffline }\r\n1\r\n"
                       "{ PreviewShowGroup }\r\n0\r\n"
                       "{ PreviewShowMenu }\r\n1\r\n"
                       "{ ShowInfoWindows }\r\n1\r\n0\r\n"
                       "{ miniClock }\r\n0\r\n"
                       "{ OldInterface }\r\n0\r\n"
                       "{ LastShellPath }\r\n%1\r\n"
                       "{ PreviewShowClients }\r\n1\r\n"
                       "{ Fonts2 }\r\nNokia Hindi S60\r\n1\r\nNokia Hindi S60\r\n1\r\n"
                       "Nokia Hindi S60\r\n1\r\n8\r\n8\r\n8\r\n"
                       "{ PreviewColumns }\r\n2\r\n"
                       "{ symbian 9.1 or 9.2 }\r\n1")
            .arg(desktop);
    return cp1251::encode(text);
}
