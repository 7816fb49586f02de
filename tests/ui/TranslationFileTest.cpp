// The Russian translation the window ships: complete, placeholder for placeholder, and in step
// with the texts the sources mark for translation.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

const QString kShippedTs = QStringLiteral(VELMORA_SOURCE_DIR "/translations/velmora_ru.ts");

struct TsMessage
{
    QString context;
    QString source;
    QString translation;
    // "unfinished", "vanished" or "obsolete" for a message without a usable translation.
    QString type;
};

struct TsFile
{
    QString language;
    QList<TsMessage> messages;
};

// The messages of a Qt Linguist file; nothing when it cannot be read or is not well-formed XML.
std::optional<TsFile> readTs(const QString &path, QString &problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = path + QStringLiteral(": ") + file.errorString();
        return std::nullopt;
    }
    QXmlStreamReader xml(&file);
    TsFile ts;
    QString context;
    TsMessage message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == u"TS") {
                ts.language = xml.attributes().value(QStringLiteral("language")).toString();
            } else if (name == u"name") {
                context = xml.readElementText();
            } else if (name == u"message") {
                message = {context, {}, {}, {}};
            } else if (name == u"source") {
                message.source = xml.readElementText();
            } else if (name == u"translation") {
                message.type = xml.attributes().value(QStringLiteral("type")).toString();
                message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (xml.isEndElement() && xml.name() == u"message") {
            ts.messages.append(message);
        }
    }
    if (xml.hasError()) {
        problem =
            QStringLiteral("%1:%2: %3").arg(path).arg(xml.lineNumber()).arg(xml.errorString());
        return std::nullopt;
    }
    return ts;
}

// The numbered placeholders (%1 .. %9) a text uses, each once.
QList<int> placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%([1-9])(?![0-9])"));
    QSet<int> found;
    for (const auto &match : marker.globalMatch(text))
        found.insert(match.captured(1).toInt());
    QList<int> sorted(found.begin(), found.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

std::string describe(const TsMessage &message)
{
    return QStringLiteral("[%1] \"%2\"").arg(message.context, message.source).toStdString();
}

bool hasCyrillic(const QString &text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF; });
}

} // namespace

TEST(ShippedTranslation, EveryMessageHasAFinishedRussianTextWithTheSourcesPlaceholders)
{
    QString problem;
    const auto ts = readTs(kShippedTs, problem);
    ASSERT_TRUE(ts) << problem.toStdString();
    EXPECT_EQ(ts->language, u"ru_RU");
    ASSERT_FALSE(ts->messages.isEmpty());

    QSet<QString> seen;
    for (const TsMessage &message : ts->messages) {
        EXPECT_TRUE(message.type.isEmpty())
            << describe(message) << " is marked " << message.type.toStdString();
        EXPECT_FALSE(message.translation.trimmed().isEmpty()) << describe(message);
        // A source copied into the translation is no translation at all.
        EXPECT_TRUE(hasCyrillic(message.translation))
            << describe(message) << " -> " << message.translation.toStdString();
        EXPECT_EQ(placeholders(message.translation), placeholders(message.source))
            << describe(message) << " -> " << message.translation.toStdString();
        const QString key = message.context + u'\n' + message.source;
        EXPECT_FALSE(seen.contains(key)) << describe(message) << " appears twice";
        seen.insert(key);
    }
}

// lupdate finds what the sources mark (QCoreApplication::translate, QT_TRANSLATE_NOOP); a text
// marked since the file was last updated would show in English in the window.
TEST(ShippedTranslation, HoldsExactlyTheTextsTheSourcesMark)
{
    const QString lupdate = QStringLiteral(VELMORA_LUPDATE);
    if (lupdate.isEmpty() || !QFile::exists(lupdate))
        GTEST_SKIP() << "lupdate is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(lupdate,
              {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
               QStringLiteral(VELMORA_SOURCE_DIR "/src"), QStringLiteral("-ts"), fresh});
    ASSERT_TRUE(run.waitForFinished(180000)) << run.errorString().toStdString();
    ASSERT_EQ(run.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(run.exitCode(), 0) << run.readAll().toStdString();

    QString problem;
    const auto marked = readTs(fresh, problem);
    ASSERT_TRUE(marked) << problem.toStdString();
    ASSERT_FALSE(marked->messages.isEmpty()) << "lupdate found no marked text in the sources";
    const auto shipped = readTs(kShippedTs, problem);
    ASSERT_TRUE(shipped) << problem.toStdString();

    const auto keys = [](const TsFile &ts) {
        QSet<QString> set;
        for (const TsMessage &message : ts.messages)
            set.insert(message.context + u'\n' + message.source);
        return set;
    };
    const QSet<QString> inSources = keys(*marked);
    const QSet<QString> inFile = keys(*shipped);
    for (const TsMessage &message : marked->messages) {
        EXPECT_TRUE(inFile.contains(message.context + u'\n' + message.source))
            << describe(message) << " is marked in the sources but missing from velmora_ru.ts";
    }
    // Left over from a text since changed or removed: the file is out of date.
    for (const TsMessage &message : shipped->messages) {
        EXPECT_TRUE(inSources.contains(message.context + u'\n' + message.source))
            << describe(message) << " is in velmora_ru.ts but no longer marked in the sources";
    }
}
