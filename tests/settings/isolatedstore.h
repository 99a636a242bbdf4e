#pragma once

#include "settingsstore.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

// Runs a test object with the per-user settings in a fresh temporary folder, so that no test
// reads or changes the user's own settings. Refuses to run when the store is elsewhere.
template <class Test> int runWithIsolatedStore(int argc, char** argv)
{
    QTemporaryDir configHome;
    if (!configHome.isValid() || !qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit()))
        return 1;
    QApplication app(argc, argv);
    if (!SettingsStore().fileName().startsWith(configHome.path() + u'/')) {
        std::fprintf(stderr, "the settings store is not in the temporary folder\n");
        return 1;
    }
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// Raw access to the store's file, to check and plant the texts under their own names.
inline QString storeFile()
{
    return SettingsStore().fileName();
}
