#pragma once

#include <QString>

namespace vantor::store {

// What a file is, as far as this program is concerned, told quickly enough to
// ask at every start: SQLite's header, the file's mark (application id),
// schema version and the tables the windows need. No integrity check.
struct FileKind
{
    enum Kind {
        Results,      // a results database this program can read and write
        Missing,      // no file of that name
        DanglingLink, // a link to a file that is not there
        NotAFile,     // a folder or a device
        Empty,        // zero bytes, or an SQLite file without any table
        Unreadable,   // cannot be read: permissions, damage, a disk error
        ReadOnly,     // a results database that cannot be written
        InUse,        // another program holds an exclusive lock
        Foreign,      // not an SQLite file, or another program's database
        Newer,        // made by a newer version of this program
        Incomplete,   // marked as a results database but lacking a table
    };

    Kind kind = Missing;
    // One or two sentences for the user that name the file; empty for Results.
    QString message;
};

FileKind classifyDatabase(const QString& path);

// A database open read-only cannot roll back the journal a crash left; one
// open read-write can. True when such a journal lies beside the file.
bool hasJournal(const QString& path);

} // namespace vantor::store
