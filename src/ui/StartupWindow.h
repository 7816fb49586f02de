#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;

// The start-up window: progress of the start-up and, when a required file is missing, the fatal
// error with an "OK" button that ends the program.
class StartupWindow : public QWidget
{
    Q_OBJECT
public:
    explicit StartupWindow(QWidget *parent = nullptr);

    // Shows a progress text and paints it at once: start-up runs before the event loop.
    void setMessage(const QString &text);
    void Error(const QString &message);
    bool hasError() const;
    QString message() const;
    // Every text shown so far, oldest first.
    const QStringList &history() const { return m_history; }

signals:
    void okClicked();

private:
    void chooseContactListFont();

    QLabel *m_label = nullptr;
    QPushButton *m_ok = nullptr;
    QStringList m_history;
};
