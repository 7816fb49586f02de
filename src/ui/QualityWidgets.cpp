#include "ui/QualityWidgets.h"

#include "core/ColourScheme.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString gradeTitle(LegibilityGrade grade)
{
    return grade == LegibilityGrade::Unreadable ? QStringLiteral("нечитаемо")
           : grade == LegibilityGrade::Weak     ? QStringLiteral("слабо")
                                                : QStringLiteral("хорошо");
}

QString ratioText(double contrast)
{
    return QLocale().toString(contrast, 'f', 2) + QStringLiteral(":1");
}

constexpr QSize kCropIcon(96, 32);
constexpr int kThumbHeight = 96;

} // namespace

QString screenTitle(const QString &name)
{
    static const QHash<QString, QString> titles = {
        {QStringLiteral("contacts"), QStringLiteral("Контакт-лист")},
        {QStringLiteral("contacts-groups"), QStringLiteral("Контакт-лист с группами")},
        {QStringLiteral("chat"), QStringLiteral("Окно сообщений")},
        {QStringLiteral("settings"), QStringLiteral("Окно настроек")},
        {QStringLiteral("menu-left"), QStringLiteral("Левое меню")},
        {QStringLiteral("menu-right"), QStringLiteral("Правое меню")},
        {QStringLiteral("chat-menu"), QStringLiteral("Меню окна сообщений")},
        {QStringLiteral("popup"), QStringLiteral("Всплывающее окно")},
        {QStringLiteral("notifications"), QStringLiteral("Уведомляющие окна")},
    };
    return titles.value(name, name);
}

LegibilityPanel::LegibilityPanel(QWidget *parent)
    : QWidget(parent)
    , m_list(new QTreeWidget(this))
    , m_summary(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_list->setColumnCount(5);
    m_list->setHeaderLabels({QStringLiteral("Слот"), QStringLiteral("Контраст"),
                             QStringLiteral("Оценка"), QStringLiteral("Экран"),
                             QStringLiteral("Место")});
    m_list->setRootIsDecorated(false);
    m_list->setIconSize(kCropIcon);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    for (int column = 1; column < 4; ++column)
        m_list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(4, QHeaderView::Fixed);
    m_list->header()->resizeSection(4, kCropIcon.width() + 12);
    layout->addWidget(m_list, 1);
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        emit placePicked(item->data(0, Qt::UserRole).toInt(),
                         item->data(3, Qt::UserRole).toString());
    });
}

void LegibilityPanel::showAudit(const QList<SlotLegibility> &audit)
{
    QList<SlotLegibility> poor;
    std::ranges::copy_if(audit, std::back_inserter(poor),
                         [](const SlotLegibility &s) { return s.grade != LegibilityGrade::Ok; });
    std::ranges::stable_sort(poor, {}, &SlotLegibility::contrast);
    m_list->clear();
    for (const SlotLegibility &s : poor) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, QStringLiteral("%1  %2").arg(s.slot).arg(slotCaption(s.slot)));
        item->setData(0, Qt::UserRole, s.slot);
        item->setText(1, ratioText(s.contrast));
        item->setText(2, gradeTitle(s.grade));
        item->setText(3, screenTitle(s.screen));
        item->setData(3, Qt::UserRole, s.screen);
        if (!s.crop.isNull())
            item->setIcon(4, QPixmap::fromImage(s.crop.scaled(kCropIcon, Qt::KeepAspectRatio)));
        item->setToolTip(0, QStringLiteral("Худшее место: %1").arg(screenTitle(s.screen)));
        if (s.grade == LegibilityGrade::Unreadable)
            item->setForeground(2, QColor(0xB0, 0, 0));
    }
    m_summary->setText(
        poor.isEmpty()
            ? QStringLiteral("Все тексты читаются: контраст с фоном не ниже 4,5:1 на всех "
                             "экранах.")
            : QStringLiteral("Тексты, которые плохо видны на фоне (контраст ниже 4,5:1 — "
                             "слабо, ниже 3:1 — нечитаемо). Щелчок по строке показывает "
                             "место."));
}

SlotUsageStrip::SlotUsageStrip(QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(this))
    , m_list(new QListWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_title);
    m_list->setViewMode(QListView::IconMode);
    m_list->setFlow(QListView::LeftToRight);
    m_list->setWrapping(false);
    m_list->setMovement(QListView::Static);
    m_list->setSpacing(2);
    m_list->setFixedHeight(kThumbHeight + 2 * m_list->fontMetrics().height() + 12);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(m_list);
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        emit screenPicked(item->data(Qt::UserRole).toString());
    });
}

void SlotUsageStrip::showUsage(int slot, const QList<ScreenUsage> &usage)
{
    m_title->setText(usage.isEmpty()
                         ? QStringLiteral("Цвет «%1» нигде не рисуется.").arg(slotCaption(slot))
                         : QStringLiteral("Где рисуется цвет «%1»:").arg(slotCaption(slot)));
    m_list->clear();
    int widest = kThumbHeight;
    for (const ScreenUsage &entry : usage) {
        const QImage thumb = entry.picture.scaledToHeight(kThumbHeight, Qt::SmoothTransformation);
        widest = std::max(widest, thumb.width());
        auto *item =
            new QListWidgetItem(QPixmap::fromImage(thumb), screenTitle(entry.screen), m_list);
        item->setData(Qt::UserRole, entry.screen);
        item->setToolTip(screenTitle(entry.screen));
    }
    m_list->setIconSize(QSize(widest, kThumbHeight));
}
