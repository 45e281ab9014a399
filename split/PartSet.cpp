#include "split/PartSet.h"

#include "split/PartName.h"

namespace {

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1);
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The value of a run of decimal digits, or -1 when it exceeds `limit` (long
// runs of digits must not overflow).
qint64 valueOf(QStringView digits, qint64 limit)
{
    qint64 value = 0;
    for (QChar c : digits) {
        value = value * 10 + (c.unicode() - u'0');
        if (value > limit)
            return -1;
    }
    return value;
}

} // namespace

PartSet::PartSet(QString folder, QString base, qint64 count)
    : folder_(std::move(folder)), base_(std::move(base)), count_(count)
{
}

bool PartSet::isDecimal(QStringView text, int minDigits)
{
    if (text.size() < minDigits)
        return false;
    for (QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return true;
}

std::optional<PartSet::Name> PartSet::parse(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return std::nullopt;
    const qsizetype countAt = fileName.lastIndexOf(QLatin1Char('_'), dot) + 1;
    // Another "_" must come before the count's; a negative start would make
    // lastIndexOf search from the end instead.
    if (countAt < 2)
        return std::nullopt;
    const qsizetype extAt = fileName.lastIndexOf(QLatin1Char('_'), countAt - 2) + 1;
    if (extAt <= 0)
        return std::nullopt;

    const QStringView countText = QStringView(fileName).mid(countAt, dot - countAt);
    const QStringView numberText = QStringView(fileName).mid(dot + 1);
    if (!isDecimal(countText) || !isDecimal(numberText))
        return std::nullopt;

    Name name;
    name.count = valueOf(countText, MaxCount);
    name.number = valueOf(numberText, MaxCount);
    if (name.count < 1 || name.number < 1 || name.number > name.count)
        return std::nullopt;
    // The set is listed under Divide's own spelling of the numbers; a part
    // spelled otherwise ("0001") would not be among the names listed.
    if (numberText != PartName::number(name.number))
        return std::nullopt;

    name.stem = fileName.left(extAt - 1);
    name.ext = fileName.mid(extAt, countAt - 1 - extAt);
    name.base = fileName.left(dot);
    // ".__003.001" would give back "..": not a name a file can have.
    const QString whole = name.stem + QLatin1Char('.') + name.ext;
    if (whole == QLatin1String(".") || whole == QLatin1String(".."))
        return std::nullopt;
    return name;
}

std::optional<PartSet> PartSet::fromSelection(const QStringList& paths)
{
    if (paths.isEmpty())
        return std::nullopt;
    const QString folder = folderOf(paths.constFirst());
    std::optional<Name> first = parse(fileNameOf(paths.constFirst()));
    if (!first)
        return std::nullopt;
    for (const QString& path : paths) {
        const std::optional<Name> name = parse(fileNameOf(path));
        if (!name || name->base != first->base || folderOf(path) != folder)
            return std::nullopt;
    }
    return PartSet(folder, first->base, first->count);
}

QString PartSet::outputName(const QString& partName)
{
    const std::optional<Name> name = parse(partName);
    if (!name)
        return {};
    return name->stem + QLatin1Char('.') + name->ext;
}

QStringList PartSet::entries() const
{
    QStringList list;
    list.reserve(count_);
    for (qint64 k = 1; k <= count_; ++k)
        list << folder_ + base_ + QLatin1Char('.') + PartName::number(k);
    return list;
}
