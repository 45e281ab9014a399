#pragma once

#include <QString>
#include <QtGlobal>

// The texts of one viewer row, made from the fields of a listing record.
class EntryCells {
public:
    // The icon class of an entry name: "/" for a folder (a name ending in "/",
    // or also "\" in a CAB listing), the name itself when it has no ".", else
    // "*." + the text after its last ".".
    static QString iconClass(const QString& name, bool cab);

    // The uncompressed size in decimal, no separators.
    static QString sizeText(qint64 size);

    // Tenths of a percent in the shortest decimal form: 523 -> "52.3%",
    // 500 -> "50%", 1000 -> "100%".
    static QString ratioText(int tenths);

    // "yyyy/mm/dd hh:nn:ss" from an MS-DOS date and time as they stand (no
    // time-zone conversion); empty when they are not a real date and time.
    static QString dateText(quint16 dosDate, quint16 dosTime);

    // A fixed text field of the record up to its first NUL (the whole field
    // when it has none).
    static QString field(const char* text, int width);
};
