#pragma once

#include <QStringList>
#include <QToolBar>

class QAction;
class QActionGroup;
class QToolButton;

// The toolbar `tbToolBar` of the main window: 22 buttons (separators
// included), each identified by its key, which is also the objectName of its
// action and of its button. The four view buttons form one group: pressing one
// releases the other three.
class MainToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit MainToolBar(QWidget* parent = nullptr);

    // The key of the button that shows view mode 0..3, empty for other modes.
    static QString viewKey(int mode);
    // The keys of the buttons from the left, an empty text for each separator.
    static const QStringList& buttonKeys();

    QAction* buttonAction(const QString& key) const;
    QToolButton* button(const QString& key) const;
    // Presses the view button of `mode` (releasing the others); a mode without
    // a button releases all four.
    void pressViewButton(int mode);
    // The mode whose button is down, -1 when none is.
    int pressedViewMode() const;

signals:
    // A button was clicked, by the user or by QAction::trigger.
    void ButtonClick(const QString& key);

private:
    QActionGroup* viewGroup_ = nullptr;
};
