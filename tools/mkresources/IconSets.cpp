#include "IconSets.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void abortBuild(const QString &message)
{
    std::fprintf(stderr, "mkresources: %s\n", qPrintable(message));
    std::abort();
}

} // namespace

NumberedIcons::NumberedIcons(QString file, int iconCount)
    : m_filled(iconCount, false)
{
    m_list.file = std::move(file);
    m_list.icons.resize(iconCount);
}

void NumberedIcons::set(int number, const QString &name, const QImage &image)
{
    const int index = number / 2;
    if (number % 2 != 0 || index < 0 || index >= m_list.icons.size())
        abortBuild(QStringLiteral("%1: icon number %2 is not an even number inside the list")
                       .arg(m_list.file)
                       .arg(number));
    if (m_filled[index])
        abortBuild(QStringLiteral("%1: icon %2 is painted twice").arg(m_list.file).arg(number));
    m_filled[index] = true;
    m_list.icons[index] = Icon{name, image};
}

IconList NumberedIcons::take()
{
    for (int i = 0; i < m_filled.size(); ++i)
        if (!m_filled[i])
            abortBuild(QStringLiteral("%1: icon %2 has no picture").arg(m_list.file).arg(2 * i));
    return std::move(m_list);
}
