#include "platformdialogs.h"

#include "plainbox.h"
#include "visiblepath.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <climits>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace bDialog {
namespace {

// Qt's font dialog matches a font without a style name against the face's style names and, for
// a face whose upright style is called neither "Regular" nor "Normal" (DejaVu's "Book"),
// preselects an oblique style. Naming the face's upright style nearest the font's weight keeps
// the dialog upright.
QFont WithUprightStyle(QFont font)
{
    const QString family = font.family();
    QString nearest;
    int nearestDistance = INT_MAX;
    const QStringList styles = QFontDatabase::styles(family);
    for (const QString& style : styles) {
        const QFont styled = QFontDatabase::font(family, style, font.pointSize());
        const int distance = std::abs(styled.weight() - font.weight());
        if (styled.style() == QFont::StyleNormal && distance < nearestDistance) {
            nearest = style;
            nearestDistance = distance;
        }
    }
    if (!nearest.isEmpty())
        font.setStyleName(nearest);
    return font;
}

class QtDialogs final : public PlatformDialogs
{
  public:
    std::optional<QString> ChooseFile(QWidget* parent, const FileRequest& request) override
    {
        QFileDialog dialog(parent, request.title, request.directory, request.nameFilter);
        dialog.setAcceptMode(request.acceptMode);
        dialog.setFileMode(request.fileMode);
        dialog.setOptions(request.options);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        for (;;) {
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
                return std::nullopt;
            const QString path = dialog.selectedFiles().constFirst();
            // Qt's own save dialog accepts a name in a folder that does not exist; a report
            // could not be written there, so the user is asked again.
            const QDir folder = QFileInfo(path).absoluteDir();
            if (request.acceptMode == QFileDialog::AcceptOpen || folder.exists())
                return path;
            bVarious::PlainMessageBox(&dialog, QMessageBox::Warning, request.title,
                                      u"The folder %1 does not exist."_s.arg(bVarious::VisiblePath(
                                          QDir::toNativeSeparators(folder.path()))));
        }
    }

    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial,
                                    QFontDialog::FontDialogOptions options) override
    {
        bool ok = false;
        const QFont font =
            QFontDialog::getFont(&ok, WithUprightStyle(initial), parent, QString(), options);
        if (!ok)
            return std::nullopt;
        return font;
    }
};

PlatformDialogs* replacement = nullptr;

} // namespace

void SetPlatformDialogs(PlatformDialogs* dialogs)
{
    replacement = dialogs;
}

PlatformDialogs& CurrentPlatformDialogs()
{
    static QtDialogs qtDialogs;
    return replacement ? *replacement : qtDialogs;
}

} // namespace bDialog
