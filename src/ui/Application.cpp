#include "ui/Application.h"

#include <QMessageBox>

#include <cstdio>
#include <new>

VelmoraApplication::VelmoraApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{}

bool VelmoraApplication::notify(QObject *receiver, QEvent *event)
{
    return guarded([&] { return QApplication::notify(receiver, event); }, reportOutOfMemory);
}

bool VelmoraApplication::guarded(const std::function<bool()> &deliver,
                                 const std::function<void()> &report)
{
    try {
        return deliver();
    } catch (const std::bad_alloc &) {
        report();
        return false;
    }
}

void VelmoraApplication::reportOutOfMemory()
{
    std::fputs("velmora: out of memory; the last action was not carried out\n", stderr);
    // The box itself needs a little memory; if even that fails, the line above has said it.
    try {
        QMessageBox::warning(nullptr, QStringLiteral("Velmora for TolvoICQ"),
                             QStringLiteral("Не хватает памяти: последнее действие не выполнено."));
    } catch (const std::bad_alloc &) {
    }
}
