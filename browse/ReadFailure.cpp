#include "browse/ReadFailure.h"

#include <cerrno>
#include <cstring>

ReadFailure ReadFailure::fromErrno(int error)
{
    ReadFailure f;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        f.number = 76;
        f.description = QStringLiteral("パスが見つかりません");
        break;
    case EACCES:
    case EPERM:
        f.number = 70;
        f.description = QStringLiteral("アクセスが拒否されました");
        break;
    case EIO:
        f.number = 57;
        f.description = QStringLiteral("デバイス I/O エラーです");
        f.notReady = true;
        break;
    case ENOMEDIUM:
    case ENODEV:
    case ENXIO:
    case ETIMEDOUT:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ESTALE:
        f.number = 71;
        f.description = QStringLiteral("ディスクが準備されていません");
        f.notReady = true;
        break;
    default:
        f.number = 75;
        f.description = QString::fromLocal8Bit(std::strerror(error));
        break;
    }
    return f;
}

QString ReadFailure::message() const
{
    return description + QStringLiteral(": &H") + QString::number(number, 16).toUpper();
}
