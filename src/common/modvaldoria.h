#pragma once
// The state that passes from one window to another, and the small routines that
// several windows call. Windows never pass arguments to each other: a window that
// opens another sets these first, then shows the other window, which reads them.

#include "storage/dao.h"

#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>
#include <memory>

namespace Modvaldoria {

// Arrays run 0..10; the program uses elements 1 to 10.
template <class T> using Array10 = std::array<T, 11>;

// The course database, in the data folder: questions and stored results.
inline const QString DatabaseFile = QStringLiteral("valdoria.mdb");
inline std::unique_ptr<storage::Database> db;
inline QVariant numargomento; // no value until the first topic is chosen
inline std::unique_ptr<storage::Recordset> rsdomande;
inline QString titolo;
inline Array10<QVariant> testodomande;
inline Array10<std::int16_t> rispesatte{};
inline Array10<std::int16_t> rispdate{};
inline Array10<std::int16_t> errate{};
inline QVariant punteggio;
inline QVariant modotest;
inline QString nomealunno;
inline std::int16_t numanimazione = 0;
inline std::unique_ptr<storage::Recordset> rsstudenti;
inline std::int16_t esattiimg = 0;
inline QVariant conosci, comprendi, applica, somma;
inline QVariant valuta;
inline std::int16_t numdomsomm = 0;
inline Array10<QString> testisomm;
inline std::unique_ptr<storage::Recordset> rssomm;
inline QVariant contatore;

void mostraargomento();
void apridomande();
void caricarisposte();
// Scores the current set: one point in punteggio for each answer in rispdate
// that matches rispesatte, errate(k) = 1 for each that does not. The caller
// sets punteggio to 0 first; errate is cleared when a set is shown.
void contarisposte();
void confermauscita();
// Asks the pupil's name into nomealunno, without blanks around it; an empty
// name is refused with NameNeeded and asked again. Cancel stores the empty
// text (and sets *cancelled, when asked for).
void chiedinome(bool *cancelled = nullptr);
inline const QString NameNeeded = QStringLiteral("Per cominciare il test scrivi il tuo cognome e il tuo nome.");
// Turns the summative points into percentages of the pages answered
// (numdomsomm) and decides the grade in valuta.
void calcolavoto();

// One answer of a scored test, of the pupil in nomealunno: the question table
// or picture, the set's title, the statement's stored position or the box, the
// answer given and whether it was right.
storage::Fields risposta(const QString &prova, const QString &insieme, int numero, int risposta, bool giusta);
// Stores a result row of `table` and its answers in one transaction; when that
// fails the pupil is told why and offered to try again. True when stored.
bool registra(const QString &table, const storage::Fields &result, const QList<storage::Fields> &answers);

// Results on the room's server are the teacher's to read: asks the teacher's
// password when it is needed (once per run; a wrong one is said and asked
// again next time). True when the results can be read.
bool passwordinsegnante();

// Back to the state of program start (tests).
void reset();

} // namespace Modvaldoria
