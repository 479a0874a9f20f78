#pragma once
// Where the program finds its course and keeps its results.
//
// Run from a folder that holds pervaldoria/ (as in development), it works
// there. Installed, it never writes into its install folder: on first start it
// copies the course database into a writable data folder and works on that
// copy; when a newer program meets an older course there, it refreshes the
// questions and keeps every result.
//
// The user's own folder (the application data folder) is created when
// missing, and the results file in it is readable by its owner only. A folder
// a school names (config file or --data DIR) is shared: it must exist already,
// made by an administrator with --prepara-cartella so that a whole group may
// write there, and what the program creates in it is group-writable.

#include "commandline.h"

#include "storage/result.h"
#include "storage/resultsserver.h"

#include <QString>
#include <QStringList>

namespace app {

struct DataPlaces
{
    QString writable;  // keeps valdoria.mdb; empty when running from a pervaldoria folder
    QString installed; // the course as installed; empty when not installed
    storage::ServerSettings server; // the room's results server, if one is set ([server])
    bool named = false; // the writable folder was named (config or --data), not the user's own
    double scale = 0; // the drawing's scale ([schermo] scala, --scala N); 0 fits the screen
};

// Reads the command line (--data DIR, --scala N) and the config files
// (valdoria/valdoria.conf in the system's and the user's config folders):
//   [dati]    cartella = DIR
//   [schermo] scala = N (1: the design's own 800 x 600 pixels, not fitted to the screen)
//   [server]  host = NAME or socket folder, porta = 5432, database = NAME,
//             utente = NAME, filepassword = FILE (never readable by others),
//             ssl = richiesto | verificato, certificato = FILE (the server's root)
// A config file that cannot be read or parsed is a run-time error naming it.
DataPlaces chooseDataPlaces(const CommandLine &line);
DataPlaces chooseDataPlaces(const QStringList &arguments);

// Makes the writable folder ready and points the data paths at it, then at the
// installed course. Failures are run-time errors naming the folder and why.
void prepareDataPlaces(const DataPlaces &places);

// --prepara-cartella: creates `folder` (or mends an existing one) owned by
// `group` with the setgid bit (2770), and the course file in it (660), so that
// every member of the group can store results there. Returns what it did, for
// the terminal.
storage::Result<QString> prepareSharedFolder(const QString &folder, const QString &group);

} // namespace app
