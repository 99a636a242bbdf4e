#pragma once

#include "throwawaysettings.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>

// The application of a program that shows the window as designed (a bench, the screenshot
// maker): its settings live in a throw-away folder, made before the application object.
class DesignedApplication
{
  public:
    DesignedApplication(int& argc, char** argv) : m_app(argc, argv) {}

    bool IsValid() const { return m_settings.IsValid(); }

    // The program's arguments, its own name first, when the settings are ready and the count
    // lies within [least, most]; otherwise an empty list, after the usage line on stderr.
    QStringList Arguments(qsizetype least, qsizetype most, const char* usage) const
    {
        if (!IsValid())
            return {};
        const QStringList args = QApplication::arguments();
        if (args.size() < least || args.size() > most) {
            std::fprintf(stderr, "usage: %s\n", usage);
            return {};
        }
        return args;
    }

  private:
    ThrowAwaySettings m_settings;
    QApplication m_app;
};
