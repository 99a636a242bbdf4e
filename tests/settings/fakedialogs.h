#pragma once

#include "platformdialogs.h"

#include <optional>

// Stands in for the platform's dialogs: records what it is shown with, answers as told.
class FakeDialogs final : public bDialog::PlatformDialogs
{
  public:
    std::optional<QString> fileAnswer;
    std::optional<QFont> fontAnswer;
    QWidget* parent = nullptr;
    bDialog::FileRequest fileRequest;
    QFont initialFont;
    QFontDialog::FontDialogOptions fontOptions;
    bool confirmShownFont = false; // answer the font dialog with the font it opened with

    std::optional<QString> ChooseFile(QWidget* dialogParent,
                                      const bDialog::FileRequest& request) override
    {
        parent = dialogParent;
        fileRequest = request;
        return fileAnswer;
    }

    std::optional<QFont> ChooseFont(QWidget* dialogParent, const QFont& initial,
                                    QFontDialog::FontDialogOptions options) override
    {
        parent = dialogParent;
        initialFont = initial;
        fontOptions = options;
        return confirmShownFont ? std::optional(initial) : fontAnswer;
    }
};
