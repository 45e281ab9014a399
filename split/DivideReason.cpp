#include "split/DivideReason.h"

#include <cerrno>
#include <cstring>

namespace DivideReason {

QString forErrno(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました。");
    case EROFS:
        return QStringLiteral("書き込み禁止のメディアです。");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダが見付かりません。");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダがあります。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました。");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace DivideReason
