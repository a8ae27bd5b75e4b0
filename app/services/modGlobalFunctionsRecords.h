#pragma once

#include <cstdint>

#include <QString>

class QObject;

// Text records: cutting a text held in memory into records and fields, and
// saving a text control to a file.
namespace modGlobalFunctions {

// Cuts the record that begins at StartIdx (1-based) off Buffer, up to the
// next Separator, and moves StartIdx past it.  A text without a further
// separator gives its rest as the last record.  False at the end of the
// buffer and on failures (a start below 1 and an empty separator are
// reported); Record is "" then.
bool GetNextRecord(const QString& Buffer, QString& Record, const QString& Separator, int64_t& StartIdx);

// The same for a text file's lines: a record ends at LF, and a CR right
// before it belongs to the line end, so files saved with CR LF and with LF
// alone (as Linux editors save them) read alike.  A CR on its own stays in
// the record.
bool GetNextLine(const QString& Buffer, QString& Record, int64_t& StartIdx);

// Writes the Text of a text control (a text box, a rich text box, an edit
// line) to the file, replacing it, as single bytes and without a line end.
// False without a path or a control, and when the file cannot be written
// (reported); the file appears only when whole, so a failure leaves the
// former file as it was.
bool SaveTextBoxToFile(QObject* TextBox, const QString& FilePath);

}  // namespace modGlobalFunctions
