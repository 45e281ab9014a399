#include "archive/EntryCells.h"

#include <QDate>
#include <QTime>

#include <cstring>

QString EntryCells::iconClass(const QString& name, bool cab)
{
    if (name.endsWith(u'/') || (cab && name.endsWith(u'\\')))
        return QStringLiteral("/");
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return name;
    return QStringLiteral("*.") + name.mid(dot + 1);
}

QString EntryCells::sizeText(qint64 size)
{
    return QString::number(size);
}

QString EntryCells::ratioText(int tenths)
{
    const int whole = tenths / 10;
    const int tenth = tenths % 10;
    QString text = (tenths < 0 && whole == 0) ? QStringLiteral("-0") : QString::number(whole);
    if (tenth != 0)
        text += u'.' + QString::number(qAbs(tenth));
    return text + u'%';
}

QString EntryCells::dateText(quint16 dosDate, quint16 dosTime)
{
    const int year = 1980 + (dosDate >> 9);
    const int month = (dosDate >> 5) & 0x0F;
    const int day = dosDate & 0x1F;
    const int hour = dosTime >> 11;
    const int minute = (dosTime >> 5) & 0x3F;
    const int second = (dosTime & 0x1F) * 2;
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return {};
    return QString::asprintf("%04d/%02d/%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
}

QString EntryCells::field(const char* text, int width)
{
    const void* end = std::memchr(text, '\0', static_cast<size_t>(width));
    const int length = end ? static_cast<int>(static_cast<const char*>(end) - text) : width;
    return QString::fromUtf8(text, length);
}
