#include "fmain.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a long diagnostic when it finds no display; say it plainly instead.
bool hasDisplay()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fputs("lumatra: there is no display to open the window on (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set).\n"
                   "Start it from a desktop session, or on a virtual display:\n"
                   "    xvfb-run -a lumatra\n"
                   "The command-line report needs no display: lumatra-report --help\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumatra"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/lumatra-32.png")));
    fMAIN window;
    window.show();
    return QApplication::exec();
}
