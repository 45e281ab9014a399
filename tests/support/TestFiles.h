#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtTest>

// Files for the Qt test suites: written and read back in one line each.
namespace TestFiles {

// Writes `data` to `path`, making the folders on the way; a failure fails the test.
inline void write(const QString& path, const QByteArray& data = "data")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(data), data.size());
}

// The whole content; "<unreadable>" for a file that is missing or cannot be
// read, which no test writes, so it never passes for an expected content.
inline QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace TestFiles
