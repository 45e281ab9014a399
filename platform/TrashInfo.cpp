#include "platform/TrashInfo.h"

#include <QList>

namespace TrashInfo {

namespace {
bool keptAsIs(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
           || c == '.' || c == '_' || c == '~' || c == '/';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
}  // namespace

QByteArray encodePath(const QByteArray& nativePath)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(nativePath.size() * 3);
    for (char c : nativePath) {
        if (keptAsIs(c)) {
            out.append(c);
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out.append('%');
            out.append(hex[byte >> 4]);
            out.append(hex[byte & 0xF]);
        }
    }
    return out;
}

QByteArray decodePath(const QByteArray& encoded)
{
    QByteArray out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high >= 0 && low >= 0) {
                out.append(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.append(encoded[i]);
    }
    return out;
}

QByteArray contents(const QByteArray& nativePath, const QDateTime& deletedAt)
{
    QByteArray text("[Trash Info]\nPath=");
    text += encodePath(nativePath);
    text += "\nDeletionDate=";
    text += deletedAt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1();
    text += '\n';
    return text;
}

QByteArray pathOf(const QByteArray& contents)
{
    bool inGroup = false;
    for (const QByteArray& rawLine : contents.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == "[Trash Info]";
            continue;
        }
        if (inGroup && line.startsWith("Path="))
            return decodePath(line.mid(5));
    }
    return {};
}

}  // namespace TrashInfo
