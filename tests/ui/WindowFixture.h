#pragma once

#include "ProgramFolderFixture.h"
#include "ui/MainWindow.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// One program folder for a whole suite (building the resource files takes a moment) and a main
// window started on it for each test; message boxes land in messages instead of waiting.
class WindowFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_error = ProgramFolderFixture::create(s_dir->path());
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    void startWindow()
    {
        ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString();
        form = std::make_unique<MainWindow>(
            s_dir->path() + u'/', QString(),
            [this](const QString &, const QString &text, const QString &detail) {
                messages.append(text);
                details.append(detail);
            });
        ASSERT_FALSE(form->startupFailed());
    }

    static inline QTemporaryDir *s_dir = nullptr;
    static inline QString s_error;
    QStringList messages;
    QStringList details;
    std::unique_ptr<MainWindow> form;
};
