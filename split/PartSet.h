#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// The reverse of PartName: recognises the parts that Divide writes and lists a
// whole set from any of them, so that Join can rebuild the file by itself.
//
// A part name is  stem "_" ext "_" COUNT "." NUMBER  where COUNT and NUMBER are
// plain decimal digits (ASCII 0-9 only: no sign, blank, decimal point or other
// script's digits, unlike a general "does this read as a number" test), at
// least three of each, so that sets of 1000 parts and more are recognised too,
// and 1 <= NUMBER <= COUNT. NUMBER must be written exactly as Divide writes it
// (the "000" picture), because the set is listed under those names.
class PartSet {
public:
    // More parts than this are not taken for a set: a made-up name must not make
    // the join list millions of entries.
    static constexpr qint64 MaxCount = 1000000;

    // The pieces of one part name.
    struct Name {
        QString stem;    // before the last-but-one "_"
        QString ext;     // between the last two "_"
        QString base;    // stem "_" ext "_" COUNT: the name before the number
        qint64 count = 0;
        qint64 number = 0;
    };

    // The part-name test; nothing when `fileName` is not a part name.
    static std::optional<Name> parse(const QString& fileName);

    // A run of at least `minDigits` ASCII decimal digits and nothing else.
    static bool isDecimal(QStringView text, int minDigits = 3);

    // The set that the selected files belong to, when every one of them is a part
    // of one and the same set (same folder and base); nothing otherwise, and then
    // the files are joined as an ordinary selection.
    static std::optional<PartSet> fromSelection(const QStringList& paths);

    // The name of the file that was cut, from the name of one of its parts:
    // movie_avi_003.001 -> movie.avi, file__003.001 -> "file.", _profile_003.001
    // -> ".profile". Empty when `partName` is not a part name.
    static QString outputName(const QString& partName);

    // Full paths of parts 1 … count, in part order, named as Divide names them.
    QStringList entries() const;

    const QString& folder() const { return folder_; }  // ends in "/"
    const QString& base() const { return base_; }
    qint64 count() const { return count_; }

private:
    PartSet(QString folder, QString base, qint64 count);

    QString folder_;
    QString base_;
    qint64 count_ = 0;
};
