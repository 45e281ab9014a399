#include "archive/ArchiverKind.h"

QString archiverName(ArchiverKind kind)
{
    switch (kind) {
    case ArchiverKind::Unlha: return QStringLiteral("unlha32");
    case ArchiverKind::UnZip: return QStringLiteral("unzip32");
    case ArchiverKind::Cab: return QStringLiteral("cab32");
    }
    return {};
}
