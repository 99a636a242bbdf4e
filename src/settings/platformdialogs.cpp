#include "platformdialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace bDialog {
namespace {

class QtDialogs final : public PlatformDialogs
{
  public:
    std::optional<QString> chooseFile(QWidget* parent, const FileRequest& request) override
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
            QMessageBox::warning(
                &dialog, request.title,
                u"The folder %1 does not exist."_s.arg(QDir::toNativeSeparators(folder.path())));
        }
    }

    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial,
                                    QFontDialog::FontDialogOptions options) override
    {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent, QString(), options);
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
