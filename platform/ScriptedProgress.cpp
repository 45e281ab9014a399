#include "platform/ScriptedProgress.h"

void ScriptedProgress::start(const QString& caption, qint64 totalBytes)
{
    captions << caption;
    total = totalBytes;
}

bool ScriptedProgress::report(const QString& item, qint64 bytesDone)
{
    ++reports;
    if (items.isEmpty() || items.constLast() != item)
        items << item;
    lastDone = bytesDone;
    return cancelAt_ == 0 || reports < cancelAt_;
}

void ScriptedProgress::finish()
{
    ++finishes;
}
