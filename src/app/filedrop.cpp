#include "filedrop.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace {

// The local path of the first file a drag carries; empty when it carries none.
QString DroppedPath(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    return urls.constFirst().isLocalFile() ? urls.constFirst().toLocalFile() : QString();
}

} // namespace

FileDrop::FileDrop(QLineEdit& field) : QObject(&field), m_field(field)
{
    field.setAcceptDrops(true);
    field.installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event)
{
    // A read-only field takes no drop: a run reads what it names.
    if (watched != &m_field || m_field.isReadOnly())
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedPath(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DroppedPath(drop->mimeData());
        if (path.isEmpty())
            return false;
        m_field.setText(path);
        m_field.setFocus(Qt::OtherFocusReason);
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}
