#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>

// Points the per-user settings at a fresh temporary folder for as long as it lives, so that a
// window opens as designed and the user's own settings are neither read nor changed. Made
// first thing in main, before the application object.
class ThrowAwaySettings
{
  public:
    ThrowAwaySettings()
        : m_valid(m_home.isValid() && qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit()))
    {}

    bool IsValid() const { return m_valid; }
    QString Path() const { return m_home.path(); }

  private:
    QTemporaryDir m_home;
    bool m_valid;
};
