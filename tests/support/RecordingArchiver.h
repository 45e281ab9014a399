#pragma once

#include "archive/Archiver.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <cstring>
#include <deque>
#include <sys/stat.h>

// The Archiver of the command tests: records every call with its exact command
// line and, for each "@path" argument, the list file's bytes and mode as they
// were during the call; answers with scripted outcomes (KA_OK by default) and
// lists archives from scripted entries.
class RecordingArchiver : public Archiver {
public:
    struct ListFile {
        QString path;
        QByteArray bytes;
        int mode = 0;  // permission bits, -1 when the file did not exist
    };
    struct Call {
        ArchiverCall call;
        QList<ListFile> listFiles;
    };
    struct Entry {
        QString name;
        qint64 size = 0;
        QByteArray attribute = "----";
        QByteArray method = "-lh5-";
        int ratio = 500;
        quint16 dosDate = 0x2D8F;  // 2002/12/15
        quint16 dosTime = 0x81C4;  // 16:14:08
        bool folder = false;
    };

    QList<Call> calls;
    std::deque<ArchiverOutcome> outcomes;     // taken one per run(), KA_OK when empty
    QHash<QString, QList<Entry>> archives;    // path -> entries, for list()
    int listings = 0;

    QStringList commandLines() const
    {
        QStringList lines;
        for (const Call& c : calls)
            lines << c.call.commandLine;
        return lines;
    }

    ArchiverOutcome run(const ArchiverCall& call, ArchiveUi&) override
    {
        Call recorded{call, {}};
        static const QRegularExpression listArgument(QStringLiteral("\"@([^\"]*)\""));
        auto it = listArgument.globalMatch(call.commandLine);
        while (it.hasNext()) {
            const QString path = it.next().captured(1);
            ListFile file{path, {}, -1};
            QFile f(path);
            if (f.open(QIODevice::ReadOnly))
                file.bytes = f.readAll();
            struct stat st {};
            if (::stat(QFile::encodeName(path).constData(), &st) == 0)
                file.mode = static_cast<int>(st.st_mode & 07777);
            recorded.listFiles << file;
        }
        calls << recorded;
        if (outcomes.empty())
            return {};
        ArchiverOutcome next = outcomes.front();
        outcomes.pop_front();
        return next;
    }

    bool list(ArchiverKind, const QString& archivePath, ArchiveUi&,
              const std::function<void(const EntryInfo&)>& onEntry, ArchiverOutcome*) override
    {
        ++listings;
        const auto found = archives.find(archivePath);
        if (found == archives.end() || found->isEmpty())
            return false;
        for (const Entry& e : *found) {
            EntryInfo info;
            std::memset(&info, 0, sizeof info);
            info.originalSize = static_cast<int32_t>(qMin<qint64>(e.size, INT32_MAX));
            info.ratio = static_cast<int16_t>(e.ratio);
            info.dosDate = e.dosDate;
            info.dosTime = e.dosTime;
            info.flags = e.folder ? ENTRY_FLAG_FOLDER : 0;
            copyField(info.name, sizeof info.name - 1, e.name.toUtf8());
            copyField(info.attribute, sizeof info.attribute, e.attribute);
            copyField(info.method, sizeof info.method, e.method);
            onEntry(info);
        }
        return true;
    }

private:
    // Copies at most `room` bytes into a zero-filled record field.
    static void copyField(char* field, size_t room, const QByteArray& text)
    {
        std::memcpy(field, text.constData(), qMin(room, static_cast<size_t>(text.size())));
    }
};
