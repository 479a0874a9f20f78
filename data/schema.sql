-- The course database. The result tables are created once and then only
-- appended to and deleted from: an install or upgrade never touches a stored
-- result. The question tables are rebuilt on every install from the files in
-- data/questions, one table per file (domande1.txt -> domande1), each with the
-- layout of question_set below.
--
-- Question tables: one row per set of ten true/false statements. The program
-- reads statement k at column position k + 1 and its answer (1 true, 0 false)
-- at position k + 11, and the set's title by the name "argomento".
CREATE TABLE IF NOT EXISTS question_set (
    id INTEGER PRIMARY KEY,
    argomento TEXT NOT NULL,
    dom1 TEXT NOT NULL,
    dom2 TEXT NOT NULL,
    dom3 TEXT NOT NULL,
    dom4 TEXT NOT NULL,
    dom5 TEXT NOT NULL,
    dom6 TEXT NOT NULL,
    dom7 TEXT NOT NULL,
    dom8 TEXT NOT NULL,
    dom9 TEXT NOT NULL,
    dom10 TEXT NOT NULL,
    ris1 INTEGER NOT NULL,
    ris2 INTEGER NOT NULL,
    ris3 INTEGER NOT NULL,
    ris4 INTEGER NOT NULL,
    ris5 INTEGER NOT NULL,
    ris6 INTEGER NOT NULL,
    ris7 INTEGER NOT NULL,
    ris8 INTEGER NOT NULL,
    ris9 INTEGER NOT NULL,
    ris10 INTEGER NOT NULL
);

-- Results of questionnaire sets and picture-labelling tests.
CREATE TABLE IF NOT EXISTS studenti (
    "cognome e nome" TEXT,
    argomento TEXT,
    punteggio INTEGER,
    maxpunti INTEGER,
    data TEXT DEFAULT (date('now', 'localtime'))
);

-- Results of summative tests: whole percentages and the grade in words.
CREATE TABLE IF NOT EXISTS studsomm (
    "cognome e nome" TEXT,
    "punteggio totale" INTEGER,
    conscere INTEGER,
    comprendere INTEGER,
    applicare INTEGER,
    valutazione VARCHAR(15),
    data TEXT DEFAULT (date('now', 'localtime'))
);

-- Every answer of a scored test, to tell the teacher what the class got
-- wrong: a questionnaire set's ten statements, a summative test's sixty, a
-- labelling test's boxes. "prova" is the question table ("domande1" ..
-- "domande7", "sommativo") or the picture ("immagine1" .. "immagine6");
-- "insieme" the set's title or the summative page; "numero" the statement's
-- position in its set as stored (1-10), or the box; "risposta" 1 true, 0 false,
-- or the term number placed (0: none); "giusta" 1 or 0. Written with its
-- result in one transaction, deleted with it.
CREATE TABLE IF NOT EXISTS risposte (
    "cognome e nome" TEXT,
    prova TEXT,
    insieme TEXT,
    numero INTEGER,
    risposta INTEGER,
    giusta INTEGER,
    data TEXT DEFAULT (date('now', 'localtime'))
);
-- The view of the class groups the answers of a period by statement: this
-- index holds all it reads, in the order it groups them.
CREATE INDEX IF NOT EXISTS risposte_insieme ON risposte (prova, insieme, numero, data, giusta, risposta);

-- Which course this file holds: the installer writes a fingerprint of the
-- question bank here, so that a newer program started on an older data folder
-- knows to refresh the questions (and only the questions).
CREATE TABLE IF NOT EXISTS valdoria_corso (
    chiave TEXT PRIMARY KEY,
    valore TEXT
);
