#pragma once

#include "about/HelpPage.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QUrl;

// The help window: the help page in a browser, with a table of contents and a
// keyword index beside it. There is one such window; it stays open beside the
// main window (not modal) and goes with its owner.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // The one help window, made over `owner` when there is none yet.
    static HelpWindow* instance(QWidget* owner);
    // The one help window, or null when none is open.
    static HelpWindow* existing();

    explicit HelpWindow(QWidget* owner = nullptr);
    ~HelpWindow() override;

    // Reads the page at `path` into the window and fills both lists. On
    // failure `error` says why and the window keeps what it showed.
    bool load(const QString& path, QString& error);
    const QString& loadedPath() const { return path_; }

    // Shows the window at the start of the page, the contents list in front.
    void showContents();
    // Shows the window with the keyword index in front, emptied and ready for typing.
    void showSearch();

    // Scrolls the page to `anchor`.
    void jumpTo(const QString& anchor);

    // The keywords the index shows now, in order.
    QStringList visibleKeywords() const;

    QTabWidget* tabs = nullptr;
    QListWidget* contentsList = nullptr;
    QLineEdit* keywordEdit = nullptr;
    QListWidget* keywordList = nullptr;
    QPushButton* cmdDisplay = nullptr;
    QTextBrowser* browser = nullptr;

private:
    void buildControls();
    void fillList(QListWidget* list, const QList<HelpPage::Entry>& entries);
    void filterKeywords(const QString& typed);
    void chooseKeyword();
    void followLink(const QUrl& url);
    void present();

    QString path_;
};
