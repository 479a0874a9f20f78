#pragma once
// Paths into the data folder are written "pervaldoria\name.jpg": backslash-
// separated, and matched without regard to letter case (a lesson may name one
// file "GHIACC1.jpg" and "ghiacc1.jpg"). Run from a folder that holds
// pervaldoria/, they are relative to the current directory; an installed
// program instead looks in its folders in turn: the writable one that keeps the
// results, then the one the program was installed with.

#include <QString>
#include <QStringList>

namespace storage {

// "pervaldoria\name": how the program names a file of its data folder.
inline QString dataFile(const QString &name) { return QStringLiteral("pervaldoria\\") + name; }

// The existing file the path names, as an absolute path; empty if there is none.
QString resolveDataPath(const QString &path);

// The folders that stand for "pervaldoria", first match wins. Empty: the
// folder "pervaldoria" in the current directory.
void setDataFolders(const QStringList &folders);
QStringList dataFolders();

// Where a missing file was looked for, for the user: "la cartella di lavoro
// /x" or the folders in turn.
QString whereDataIsLookedFor();

// The account the program runs as ("anna").
QString currentUser();
// Who owns a file or folder and what it allows, for a message: "appartiene a
// root (gruppo alunni), permessi rwxrws--- (2770)".
QString ownership(const QString &path);
// Why this account cannot write a file, or create files in a folder, named
// with its owner and permissions; empty when it can. An administrator reads
// this to mend the folder, so it always names the real path.
QString whyNotWritable(const QString &path);
// Why this account cannot read a file or enter a folder, as above; empty
// when it can.
QString whyNotReadable(const QString &path);
// Why a file could not be saved, in Italian (the system's own words are
// English): the folder's owner and permissions, or a full disk.
QString whyNotSaved(const QString &file);

} // namespace storage
