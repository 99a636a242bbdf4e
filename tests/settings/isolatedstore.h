#pragma once

#include "settingsstore.h"
#include "throwawaysettings.h"

#include <QApplication>
#include <QMap>
#include <QSettings>
#include <QTest>
#include <cstdio>

// Runs a test object with the per-user settings in a fresh temporary folder, so that no test
// reads or changes the user's own settings. Refuses to run when the store is elsewhere.
template <class Test> int RunWithIsolatedStore(int argc, char** argv)
{
    ThrowAwaySettings configHome;
    if (!configHome.IsValid())
        return 1;
    QApplication app(argc, argv);
    if (!SettingsStore().FileName().startsWith(configHome.Path() + u'/')) {
        std::fprintf(stderr, "the settings store is not in the temporary folder\n");
        return 1;
    }
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// Raw access to the store's file, to check and plant the texts under their own names.
inline QString StoreFile()
{
    return SettingsStore().FileName();
}

// Stores text under key as the store's file keeps it, bypassing the program's own writing.
inline void Plant(const QString& key, const QString& text)
{
    QSettings(StoreFile(), QSettings::IniFormat).setValue(QStringLiteral("Settings/") + key, text);
}

// Every stored text of the program's section, by key.
inline QMap<QString, QString> StoredTexts()
{
    QSettings raw(StoreFile(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Settings"));
    QMap<QString, QString> texts;
    const QStringList keys = raw.childKeys();
    for (const QString& key : keys)
        texts.insert(key, raw.value(key).toString());
    return texts;
}
