#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class ResultPane;

namespace bFile {

// The part of a path after its last folder separator ('/', and '\' as well on Windows): the
// whole path when it has none, empty text when it ends with one.
QString FileNamePart(const QString& path);

// The pane's whole text as the report file holds it: UTF-8, CR LF line breaks, no colours.
// Lines still gathered by a frozen pane are put into it first.
QByteArray ReportFileText(ResultPane& pane);

// Writes the pane's text to path, replacing an existing file only once the new one is
// complete, so a failed write leaves the old file as it was. Nothing when written, otherwise
// why the file could not be written.
std::optional<QString> SaveFile(ResultPane& pane, const QString& path);

} // namespace bFile
