#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The help page: where it is installed and what its two lists hold. The
// application's help file keeps its historical name ("Kestrel.hlp"); the page
// that stands for it is the HTML file of the same stem ("Kestrel.html").
//
// The page marks its lists for the help window: the table of contents is the
// list <ul class="contents"> and the keyword index the list <ul class="index">,
// each entry a link <a href="#anchor">text</a> to a place in the page.
class HelpPage {
public:
    struct Entry {
        QString text;
        QString anchor;
        bool operator==(const Entry&) const = default;
    };

    // "Kestrel.hlp" -> "Kestrel.html"; a folder part is dropped.
    static QString pageName(const QString& helpFile);

    // Where an installed program keeps its page: next to the executable
    // (help/), then ../share/kestrel/help, then kestrel/help in the XDG data folders.
    static QStringList defaultFolders();

    // The first existing page for `helpFile` in `folders`, or empty. An
    // absolute help-file path is tried as given first.
    static QString locate(const QString& helpFile, const QStringList& folders);

    static QList<Entry> contents(const QString& html);
    static QList<Entry> keywords(const QString& html);

    // The form in which keywords are compared: width, case and kana differences
    // removed, so "ｺﾋﾟｰ", "コピー" and "こぴー" are one word.
    static QString searchKey(const QString& text);

private:
    static QList<Entry> linksOfList(const QString& html, const QString& listClass);
};
