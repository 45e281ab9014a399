#include "platform/QtJapaneseTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <cstring>

void QtJapaneseTexts::install()
{
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    // Without the catalogue (qt6-translations-l10n) the buttons stay English.
    static QTranslator catalogue;
    if (catalogue.load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&catalogue);
    static QtJapaneseTexts missing;
    QCoreApplication::installTranslator(&missing);
}

QString QtJapaneseTexts::translate(const char* context, const char* sourceText, const char*, int) const
{
    // Qt 6 moved these out of the file dialog's context; its Japanese
    // catalogue has not followed.
    if (std::strcmp(context, "QAbstractFileIconProvider") != 0)
        return {};
    static const struct {
        const char* english;
        const char* japanese;
    } texts[] = {{"Folder", "フォルダ"},       {"Drive", "ドライブ"}, {"File", "ファイル"},
                 {"%1 File", "%1 ファイル"}, {"Shortcut", "ショートカット"}, {"Unknown", "不明"}};
    for (const auto& t : texts)
        if (std::strcmp(sourceText, t.english) == 0)
            return QString::fromUtf8(t.japanese);
    return {};
}
