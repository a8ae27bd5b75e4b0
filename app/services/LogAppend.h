#pragma once

#include <QByteArray>
#include <QString>

// The file of a log kept in a folder: the folder, a "/" unless it ends with
// one, and the file name.
QString LogFilePath(const QString& dir, const QString& file);

// What one append to a log file came to.
struct LogAppend {
    bool opened = false;
    // "" when every byte reached the file; otherwise "The <what> '<path>'
    // could not be opened : <reason>", or "... written : <reason>".
    QString failure;
};

// Appends the bytes to the file at path, creating it when missing; what
// names the file in the failure text ("error log", "trace file").
LogAppend AppendToLog(const QString& what, const QString& path, const QByteArray& bytes);
