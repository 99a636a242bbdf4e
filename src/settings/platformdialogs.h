#pragma once

#include <QFileDialog>
#include <QFont>
#include <QFontDialog>
#include <QString>
#include <optional>

namespace bDialog {

// Everything a file dialog is shown with.
struct FileRequest
{
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::ExistingFile;
    QFileDialog::Options options;
    QString title;
    QString fileName;
    QString nameFilter; // one filter, patterns in its trailing parentheses
    QString directory;
};

// The modal dialogs of the platform, behind an interface so that tests can stand in for them.
class PlatformDialogs
{
  public:
    virtual ~PlatformDialogs() = default;
    // The chosen path; nothing when the user cancels.
    virtual std::optional<QString> ChooseFile(QWidget* parent, const FileRequest& request) = 0;
    // The chosen font; nothing when the user cancels.
    virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial,
                                            QFontDialog::FontDialogOptions options) = 0;
};

// The dialogs every wrapper shows, for the whole process; nullptr restores Qt's own.
void SetPlatformDialogs(PlatformDialogs* dialogs);
PlatformDialogs& CurrentPlatformDialogs();

} // namespace bDialog
