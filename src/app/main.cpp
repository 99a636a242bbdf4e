#include "fmain.h"
#include "version.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a long diagnostic when it finds no display; say it plainly instead. Only
// X11 and Wayland desktops name their display in the environment.
bool HasDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

// The program's icon in every size drawn for it, so that no size is scaled from another.
QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/lumatra-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!HasDisplay()) {
        std::fputs("lumatra: there is no display to open the window on (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set).\n"
                   "Start it from a desktop session, or on a virtual display:\n"
                   "    xvfb-run -a lumatra\n"
                   "The command-line report needs no display: lumatra-report --help\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(LUMATRA_NAME));
    QApplication::setApplicationVersion(QStringLiteral(LUMATRA_VERSION));
    // Lets Wayland desktops match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("lumatra"));
    QApplication::setWindowIcon(ProgramIcon());
    fMAIN window;
    window.show();
    return QApplication::exec();
}
