#include "resultwriter.h"

#include "resultpane.h"

#include <QColor>
#include <QString>

namespace bVarious {

void AppendLine(ResultPane& pane, const QString& text, quint32 colour, quint8 indent)
{
    const QColor rgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    // Report lines have no indent; they need no copy for one.
    pane.AddLine(indent > 0 ? QString(indent, QLatin1Char(' ')) + text : text, rgb);
}

void FreezeResult(ResultPane& pane, bool freeze, bool& resultChanged)
{
    if (freeze) {
        pane.SetFrozen(true);
        pane.setEnabled(false);
        resultChanged = false;
    } else {
        pane.SetFrozen(false);
        pane.setEnabled(true);
        resultChanged = true;
        if (!pane.isHidden())
            pane.setFocus();
    }
}

} // namespace bVarious
