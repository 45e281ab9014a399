#include "platform/FailureReason.h"

#include <cerrno>
#include <cstring>

namespace FailureReason {

QString forErrno(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限を超えました。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました。");
    case EROFS:
        return QStringLiteral("書き込みが禁止されたメディアです。");
    case EIO:
        return QStringLiteral("読み書きの途中でエラーが発生しました (メディアが取り出されたか、ファイルが途中で短くなった可能性があります)。");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("ファイルまたはフォルダが見付かりません。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎて、このメディアには書き込めません。");
    case ENODEV:
    case ENXIO:
        return QStringLiteral("メディアの準備ができていません。");
    default:
        return QStringLiteral("エラーが発生しました (%1: %2)。")
            .arg(error)
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString message(const QString& what, int error)
{
    return what + QLatin1Char('\n') + forErrno(error);
}

} // namespace FailureReason
