#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// Writes bytes to the file at path, replacing what it held; false when that fails.
[[nodiscard]] inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Writes a test's input file and returns its path. A test cannot go on without its input:
// a file that cannot be written ends the program.
inline QString MakeFile(const QString& path, const QByteArray& bytes)
{
    if (!WriteFile(path, bytes))
        qFatal("cannot write the test file %s", qPrintable(path));
    return path;
}

// MakeFile for a file of the given name in the folder.
inline QString MakeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    return MakeFile(dir.filePath(name), bytes);
}
