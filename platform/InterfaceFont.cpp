#include "platform/InterfaceFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

void InterfaceFont::apply()
{
    const QFont current = QApplication::font();
    const QString family =
        choose(QFontInfo(current).family(), QFontDatabase::families(QFontDatabase::Japanese));
    if (family.isEmpty() || family == QFontInfo(current).family())
        return;
    QFont font = current;
    font.setFamilies({family});
    QApplication::setFont(font);
}

QString InterfaceFont::choose(const QString& current, const QStringList& japaneseFamilies)
{
    if (japaneseFamilies.contains(current))
        return current;
    // Proportional Gothic faces first: they are what Japanese desktops use for their interface.
    static const QStringList preferred{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                                       QStringLiteral("IPAexGothic"), QStringLiteral("VL PGothic"),
                                       QStringLiteral("TakaoPGothic"), QStringLiteral("IPAGothic")};
    for (const QString& family : preferred)
        if (japaneseFamilies.contains(family))
            return family;
    return japaneseFamilies.value(0);
}
