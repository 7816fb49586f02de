#include "export/ScreenShots.h"

#include "containers/PictureCodecs.h"
#include "platform/FileOps.h"
#include "preview/Render.h"

#include <QDir>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>

namespace {

struct Shot
{
    QString model;
    QString slug;
    QList<QImage> pictures; // in the order of namedScreens()
};

QByteArray indexHtml(const QList<Shot> &shots)
{
    QString html =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\">"
                       "<title>Skin screenshots</title>\n<style>body{font-family:sans-"
                       "serif}td{vertical-align:top;padding:4px;text-align:center}"
                       "img{display:block;margin:auto}</style></head>\n<body>\n");
    for (const Shot &shot : shots) {
        html += QStringLiteral("<h2>%1</h2>\n<table><tr>\n").arg(shot.model.toHtmlEscaped());
        for (const NamedScreen &screen : namedScreens()) {
            const QString name = screen.name;
            html += QStringLiteral("<td><img src=\"%1/%2.png\" alt=\"%2\"><br>%2</td>\n")
                        .arg(shot.slug, name);
        }
        html += QStringLiteral("</tr></table>\n");
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

// What every screen of the set is drawn from.
struct ShotSource
{
    const SkinState &skin;
    const PreviewResources &resources;
    const PreviewState &base;
    QTime clock;
    TextShapes shapes;
};

Result<Shot> shootModel(ShotSource &source, const ShotModel &chosen, const QString &folder,
                        const std::function<bool()> &wrote)
{
    const PhoneModel &model = chosen.model;
    Shot shot{model.name, modelSlug(model.name), {}};
    const QDir dir(QDir(folder).filePath(shot.slug));
    if (auto made = makeFolder(dir.path()); !made)
        return fail(made.error());
    const QSize size(model.width, model.height);
    const ShownPictures pictures = shownPictures(source.skin.pictures, size.expandedTo({1, 1}));
    for (const NamedScreen &screen : namedScreens()) {
        PreviewState state = namedScreenState(source.base, screen);
        state.screenSize = size;
        const QImage drawn = render(state, source.skin, source.resources, nullptr,
                                    {source.clock, &pictures, &source.shapes})
                                 .picture;
        const QImage picture = chosen.frame ? framedScreen(drawn, *chosen.frame) : drawn;
        const auto png = encodePng(picture, PngPacking::Fast);
        if (!png)
            return fail(png.error());
        const QString file = dir.filePath(screen.name + QStringLiteral(".png"));
        if (auto written = writeFileAtomically(file, *png); !written)
            return fail(written.error());
        shot.pictures.append(picture);
        if (!wrote())
            break;
    }
    return shot;
}

Result<int> writeAll(ShotSource &source, const QList<ShotModel> &models, const QString &folder,
                     const ShotProgress &progress)
{
    const int total = int(models.size() * namedScreens().size());
    int done = 0;
    bool stopped = false;
    const auto wrote = [&] {
        ++done;
        stopped = progress && !progress(done, total);
        return !stopped;
    };
    QList<Shot> shots;
    for (const ShotModel &model : models) {
        auto shot = shootModel(source, model, folder, wrote);
        if (!shot)
            return fail(shot.error());
        if (stopped)
            return done;
        shots.append(std::move(*shot));
    }
    const QDir out(folder);
    if (auto written =
            writeFileAtomically(out.filePath(QStringLiteral("index.html")), indexHtml(shots));
        !written)
        return fail(written.error());
    QList<SheetRow> rows;
    QStringList names;
    for (const NamedScreen &screen : namedScreens())
        names.append(screen.name);
    for (const Shot &shot : shots)
        rows.append({shot.model, shot.pictures, names});
    const auto sheet = encodePng(composeSheet(rows), PngPacking::Fast);
    if (!sheet)
        return fail(sheet.error());
    if (auto written = writeFileAtomically(out.filePath(QStringLiteral("sheet.png")), *sheet);
        !written)
        return fail(written.error());
    return done;
}

} // namespace

QImage composeSheet(const QList<SheetRow> &rows)
{
    constexpr int kGap = 8;
    constexpr int kCaption = 18;
    int width = kGap;
    int height = kGap;
    for (const SheetRow &row : rows) {
        int rowWidth = kGap;
        int rowHeight = 0;
        for (const QImage &picture : row.pictures) {
            rowWidth += picture.width() + kGap;
            rowHeight = std::max(rowHeight, picture.height());
        }
        width = std::max(width, rowWidth);
        height += 2 * kCaption + rowHeight + kGap;
    }
    QImage sheet(width, height, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    int y = kGap;
    for (const SheetRow &row : rows) {
        p.drawText(QRect(kGap, y, width, kCaption), Qt::AlignLeft | Qt::AlignVCenter, row.title);
        y += kCaption;
        int x = kGap;
        int rowHeight = 0;
        for (qsizetype i = 0; i < row.pictures.size(); ++i) {
            const QImage &picture = row.pictures[i];
            p.drawText(QRect(x, y, picture.width(), kCaption), Qt::AlignCenter,
                       row.captions.value(i));
            p.drawImage(x, y + kCaption, picture);
            x += picture.width() + kGap;
            rowHeight = std::max(rowHeight, picture.height());
        }
        y += kCaption + rowHeight + kGap;
    }
    return sheet;
}

QString modelSlug(const QString &name)
{
    static const QRegularExpression others(QStringLiteral("[^a-z0-9]+"));
    QString slug = name.toLower().replace(others, QStringLiteral("-"));
    while (slug.startsWith(u'-'))
        slug.remove(0, 1);
    while (slug.endsWith(u'-'))
        slug.chop(1);
    return slug;
}

Result<int> writeScreenShots(const SkinState &skin, const PreviewResources &resources,
                             const PreviewState &base, QTime clock, const QList<ShotModel> &models,
                             const QString &folder, const ShotProgress &progress)
{
    ShotSource source{skin, resources, base, clock, {}};
    return writeAll(source, models, folder, progress);
}
