#include "about/HelpPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextDocumentFragment>

QString HelpPage::pageName(const QString& helpFile)
{
    const QString name = QFileInfo(helpFile).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return (dot > 0 ? name.left(dot) : name) + QStringLiteral(".html");
}

QStringList HelpPage::defaultFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList folders{programFolder + QStringLiteral("/help"),
                        QDir::cleanPath(programFolder + QStringLiteral("/../share/kestrel/help"))};
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << data + QStringLiteral("/kestrel/help");
    return folders;
}

QString HelpPage::locate(const QString& helpFile, const QStringList& folders)
{
    const QString name = pageName(helpFile);
    if (QFileInfo(helpFile).isAbsolute()) {
        const QString beside = QFileInfo(helpFile).absolutePath() + QLatin1Char('/') + name;
        if (QFileInfo(beside).isFile())
            return beside;
    }
    for (const QString& folder : folders) {
        const QString candidate = folder + QLatin1Char('/') + name;
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

QList<HelpPage::Entry> HelpPage::contents(const QString& html)
{
    return linksOfList(html, QStringLiteral("contents"));
}

QList<HelpPage::Entry> HelpPage::keywords(const QString& html)
{
    return linksOfList(html, QStringLiteral("index"));
}

QList<HelpPage::Entry> HelpPage::linksOfList(const QString& html, const QString& listClass)
{
    // The lists are flat, so the list ends at the first </ul> after its start.
    const QRegularExpression start(QStringLiteral("<ul\\s+class\\s*=\\s*\"%1\"[^>]*>").arg(listClass),
                                   QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch opened = start.match(html);
    if (!opened.hasMatch())
        return {};
    const qsizetype from = opened.capturedEnd();
    const qsizetype to = html.indexOf(QStringLiteral("</ul>"), from, Qt::CaseInsensitive);
    const QString list = html.mid(from, to < 0 ? -1 : to - from);

    static const QRegularExpression link(
        QStringLiteral("<a\\s+href\\s*=\\s*\"#([^\"]+)\"[^>]*>(.*?)</a>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QList<Entry> entries;
    for (auto it = link.globalMatch(list); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        // Entities and inner markup become plain text the way the browser shows it.
        const QString text = QTextDocumentFragment::fromHtml(m.captured(2)).toPlainText().simplified();
        if (!text.isEmpty())
            entries.append({text, m.captured(1)});
    }
    return entries;
}

QString HelpPage::searchKey(const QString& text)
{
    // Compatibility normalisation turns half-width katakana and full-width
    // Latin letters into their ordinary forms.
    QString key = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    for (QChar& c : key) {
        // Hiragana to katakana: the two blocks run in parallel, 0x60 apart.
        if (c.unicode() >= 0x3041 && c.unicode() <= 0x3096)
            c = QChar(c.unicode() + 0x60);
    }
    return key;
}
