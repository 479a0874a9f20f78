#pragma once
// Where the program finds its course and keeps its results.
//
// Run from a folder that holds pervaldoria/ (as in development), it works
// there. Installed, it never writes into its install folder: on first start it
// creates a writable data folder (the user's application data folder, or one
// folder a school sets in the config file or with --data DIR), copies the
// course database there and works on that copy; when a newer program meets an
// older course there, it refreshes the questions and keeps every result.

#include "storage/resultsserver.h"

#include <QString>
#include <QStringList>

namespace app {

struct DataPlaces
{
    QString writable;  // keeps valdoria.mdb; empty when running from a pervaldoria folder
    QString installed; // the course as installed; empty when not installed
    storage::ServerSettings server; // the room's results server, if one is set ([server])
    double scale = 0; // the drawing's scale ([schermo] scala, --scala N); 0 fits the screen
};

// Reads the command line (--data DIR, --scala N) and the config files
// (valdoria/valdoria.conf in the system's and the user's config folders):
//   [dati]    cartella = DIR
//   [schermo] scala = N (1: the design's own 800 x 600 pixels, not fitted to the screen)
//   [server]  host = NAME or socket folder, porta = 5432, database = NAME,
//             utente = NAME, filepassword = FILE (never readable by others),
//             ssl = richiesto | verificato, certificato = FILE (the server's root)
DataPlaces chooseDataPlaces(const QStringList &arguments);

// Makes the writable folder ready and points the data paths at it, then at the
// installed course. Failures are run-time errors naming the folder.
void prepareDataPlaces(const DataPlaces &places);

} // namespace app
