#pragma once

#include <QByteArray>
#include <QString>

#include "clsPOP3Mailbox.h"

// The account file "MA_Mailbox.cfg": one record a line, "user|scrambled
// password|server|port|time-out" and CR LF.  It holds passwords, scrambled
// only, so it lives in the user's own data folder, readable by the user
// alone, never beside the program.
namespace MailboxFile {

// $XDG_DATA_HOME/OrmidYRB100 (default ~/.local/share/OrmidYRB100), created
// with mode 0700 when missing.
QString Folder();
// Folder() & "/MA_Mailbox.cfg".
QString Path();

// Reads the accounts of the file into Accounts (emptied first); true when
// its records were read.  No file, a path that is not one, an empty file or
// one not read whole give false and no account.  A record whose port or
// time-out is out of range is skipped and reported with its line number.
// Reports name the main window's LoadMailboxes, which calls this.
bool Read(const QString& path, MailboxCollection& Accounts);

// The file's bytes for the accounts; false (nothing written) when a name or
// server holds "|", CR or LF, which the format cannot keep.
bool Format(const MailboxCollection& Accounts, QByteArray& bytes);

// Writes Mailboxes to the file by the rule of ConfigFile: the old file is
// copied once to path & ".bak" (a backup that exists is never replaced),
// then the file is replaced whole, a link followed.  The file and its
// backup are readable by the user alone from their first byte, whatever
// the old file's mode.  A backup that cannot be made is reported and the
// save goes on; every other failure is reported and gives false, the old
// file then untouched.
bool SaveMailboxes(const QString& path);

}  // namespace MailboxFile
