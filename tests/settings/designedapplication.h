#pragma once

#include "throwawaysettings.h"

#include <QApplication>

// The application of a program that shows the window as designed (a bench, the screenshot
// maker): its settings live in a throw-away folder, made before the application object.
class DesignedApplication
{
  public:
    DesignedApplication(int& argc, char** argv) : m_app(argc, argv) {}

    bool IsValid() const { return m_settings.IsValid(); }

  private:
    ThrowAwaySettings m_settings;
    QApplication m_app;
};
