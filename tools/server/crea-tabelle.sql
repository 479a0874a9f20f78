-- The two result tables of Valdoria on a PostgreSQL server, for a computer
-- room whose PCs keep their results in one place. The columns are those of the
-- program's own file; "id" tells rows apart, "uid" is the identifier each
-- result carries from the PC that stored it, so that a result sent twice is
-- kept once. "data" is the day the result was stored.
CREATE TABLE IF NOT EXISTS studenti (
    id bigserial PRIMARY KEY,
    uid text NOT NULL UNIQUE,
    "cognome e nome" text,
    argomento text,
    punteggio integer,
    maxpunti integer,
    data date NOT NULL DEFAULT current_date
);

CREATE TABLE IF NOT EXISTS studsomm (
    id bigserial PRIMARY KEY,
    uid text NOT NULL UNIQUE,
    "cognome e nome" text,
    "punteggio totale" integer,
    conscere integer,
    comprendere integer,
    applicare integer,
    valutazione varchar(15),
    data date NOT NULL DEFAULT current_date
);
