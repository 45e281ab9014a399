#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The viewer's toolbar pictures (imlToolbarIcons), 16 by 16, drawn in code:
// "New" (add to the archive), "Extract", "EXE" (self-extracting program),
// "Delete" and "OOFL" (close).
class ViewerPictures {
public:
    static QPixmap picture(const QString& key);
    static QIcon icon(const QString& key) { return QIcon(picture(key)); }
};
