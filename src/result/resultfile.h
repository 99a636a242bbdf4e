#pragma once

#include "progresspace.h"

#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;
class ResultPane;

namespace bFile {

// The part of a path after its last folder separator ('/', and '\' as well on Windows): the
// whole path when it has none, empty text when it ends with one.
QString FileNamePart(const QString& path);

// Writes the pane's whole text as the report file holds it (UTF-8, CR LF line breaks, no
// colours) to the device, converting and writing a piece at a time, so that no copy of the
// whole report is made; progress is called between the pieces. Lines still gathered by a
// frozen pane are put into it first. Nothing when written, otherwise why the device refused.
std::optional<QString> WriteReportText(ResultPane& pane, QIODevice& device,
                                       const bVarious::WorkProgress& progress = {});

// The same text in memory, for short reports and tests.
QByteArray ReportFileText(ResultPane& pane);

// Writes the pane's text to path, replacing an existing file only once the new one is
// complete, so a failed write leaves the old file as it was. Nothing when written, otherwise
// why the file could not be written.
std::optional<QString> SaveFile(ResultPane& pane, const QString& path,
                                const bVarious::WorkProgress& progress = {});

} // namespace bFile
