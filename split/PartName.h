#pragma once

#include <QString>
#include <QtGlobal>

// How divided parts are named, shared by Divide (which writes the names) and Join (which
// reads them back): a file "stem.ext" cut into P parts gives "stem_ext_PPP.001" …
// "stem_ext_PPP.PPP", both numbers with at least three digits.
namespace PartName {

// "stem_ext_PPP": the name split at its LAST "." (a.tar.gz -> a.tar_gz_012); a name ending in
// "." has an empty ext ("file__003"), one starting with its only "." an empty stem
// ("_profile_003"). A name with no "." at all is taken whole as the stem with an empty ext
// ("README__003"), the same as a name ending in ".".
QString base(const QString& fileName, qint64 partCount);

// k with the picture "000": 7 -> "007", 1474 -> "1474", 73688 -> "73688".
QString number(qint64 k);

// base + "." + number(k): the file name of part k (1-based) of a set of partCount parts.
QString part(const QString& fileName, qint64 partCount, qint64 k);

} // namespace PartName
