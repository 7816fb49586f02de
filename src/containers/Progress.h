#pragma once

#include <QString>

#include <functional>

// Where a container reports each step it takes (the console log of the main window).
using ProgressCallback = std::function<void(const QString &text)>;

// Where a container shows a message box: the window layer decides how, tests just collect them.
using MessageCallback = std::function<void(const QString &caption, const QString &text)>;
