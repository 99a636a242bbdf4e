#pragma once

#include "fakedialogs.h"
#include "windowdriver.h"

#include <QObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// What the window tests share: before each test a new window as designed, shown and active,
// stand-in file and font dialogs that cancel unless a test tells them otherwise, and a folder
// of its own for the test's files.
class WindowTest : public QObject
{
    Q_OBJECT

  protected:
    QString Path(const QString& name) const { return m_dir->filePath(name); }

    FakeDialogs m_dialogs;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<fMAIN> m_window;

  private Q_SLOTS:
    void init()
    {
        m_dialogs = FakeDialogs();
        bDialog::SetPlatformDialogs(&m_dialogs);
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_window = OpenWindow();
        QVERIFY(m_window);
    }

    void cleanup()
    {
        // Whatever a test left unsaved must not hold up the next one at a prompt.
        if (m_window)
            m_window->ResultChanged = false;
        m_window.reset();
        m_dir.reset();
        bDialog::SetPlatformDialogs(nullptr);
    }
};
