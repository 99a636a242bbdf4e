#include "dialogs.h"

#include "platformdialogs.h"
#include "settingsstore.h"

#include <QDir>
#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace bDialog {
namespace {

// Qt takes a filter's patterns from the parentheses that end it; a name that already ends
// with them is shown unchanged.
QString NameFilter(const QString& filterName, const QString& filterPattern)
{
    const QString name = filterName.isEmpty() ? u"All Files"_s : filterName;
    // "*.*" means every file; outside Windows it would hide the files without an extension.
    const QString pattern = filterPattern == u"*.*"_s ? u"*"_s : filterPattern;
    const QString patternSuffix = u"("_s + pattern + u")"_s;
    return name.endsWith(patternSuffix) ? name : name + u" "_s + patternSuffix;
}

// The folder part of a path, up to and including its last separator; empty without one.
QString FolderOf(const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
    return native.left(native.lastIndexOf(QDir::separator()) + 1);
}

// Opening takes an existing file; saving any name in an existing folder.
QString FileDialog(QWidget* parent, QFileDialog::AcceptMode acceptMode, const QString& title,
                   const QString& filterName, const QString& filterPattern, const QString& fileName,
                   const QString& initDir)
{
    FileRequest request;
    request.acceptMode = acceptMode;
    request.fileMode =
        acceptMode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile;
    request.title = title;
    request.fileName = fileName;
    SettingsStore store;
    request.nameFilter = NameFilter(filterName, filterPattern);
    request.directory = initDir.isEmpty()
                            ? store.Text(SettingsStore::Key::LastDir).value_or(QDir::currentPath())
                            : initDir;
    const std::optional<QString> chosen = CurrentPlatformDialogs().ChooseFile(parent, request);
    if (!chosen)
        return {};
    store.SetText(SettingsStore::Key::LastDir, FolderOf(*chosen));
    // A folder that cannot be remembered does not take the user's choice away; sync() warns.
    store.Sync();
    return *chosen;
}

} // namespace

std::optional<qint16> WholePoints(double points)
{
    double whole = std::floor(points);
    const double fraction = points - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (!(whole >= 1.0 && whole <= std::numeric_limits<qint16>::max()))
        return std::nullopt;
    return static_cast<qint16>(whole);
}

QString OpenFileDialog(QWidget* parent, const QString& title, const QString& filterName,
                       const QString& filterPattern, const QString& fileName,
                       const QString& initDir)
{
    return FileDialog(parent, QFileDialog::AcceptOpen, title, filterName, filterPattern, fileName,
                      initDir);
}

QString SaveFileDialog(QWidget* parent, const QString& title, const QString& filterName,
                       const QString& filterPattern, const QString& fileName,
                       const QString& initDir)
{
    return FileDialog(parent, QFileDialog::AcceptSave, title, filterName, filterPattern, fileName,
                      initDir);
}

bool FontDialog(QWidget* parent, FontChoice& choice)
{
    QFont initial(choice.Name);
    if (choice.Size > 0)
        initial.setPointSize(choice.Size);
    initial.setBold(choice.Bold);
    // The pane always shows a fixed-pitch face, so only those are offered.
    const std::optional<QFont> chosen =
        CurrentPlatformDialogs().ChooseFont(parent, initial, QFontDialog::MonospacedFonts);
    if (!chosen)
        return false;
    const std::optional<qint16> size = WholePoints(chosen->pointSizeF());
    if (!size)
        return false;
    choice.Name = chosen->family();
    choice.Size = *size;
    choice.Bold = chosen->bold();
    return true;
}

} // namespace bDialog
