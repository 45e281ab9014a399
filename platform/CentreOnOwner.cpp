#include "platform/CentreOnOwner.h"

#include <QWidget>

void CentreOnOwner(QWidget& dialog, const QWidget* owner)
{
    if (owner == nullptr)
        return;
    const QWidget* window = owner->window();
    const QRect frame = window->frameGeometry();
    QSize own = dialog.frameGeometry().size();
    // Before it is first shown the dialog has no frame yet; it will get one like
    // its owner's, and it is the framed size that must sit in the middle.
    if (!dialog.testAttribute(Qt::WA_WState_Created) || !dialog.isVisible())
        own += frame.size() - window->geometry().size();
    dialog.move(frame.left() + (frame.width() - own.width()) / 2,
                frame.top() + (frame.height() - own.height()) / 2);
}
