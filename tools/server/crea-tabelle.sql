-- The result tables of Valdoria (results, and every answer of a scored test) on a PostgreSQL server, for a computer room
-- whose PCs keep their results in one place, and the two roles that use them:
--   valdoria_aula     the room's PCs: may add results, never read or change them
--   valdoria_docente  the teacher: reads and deletes results
-- Run by prepara-server.sh as the administrator, who owns the tables. Running
-- it again changes nothing but the two passwords.
--
-- The columns are those of the program's own file; "id" tells rows apart,
-- "uid" is the identifier each result carries from the PC that stored it, so
-- that a result sent twice is kept once. On every insertion the server stamps
-- the day ("data"), the time, the address of the PC and the role, so a row
-- cannot be backdated and any row can be traced to where it came from.
\set ON_ERROR_STOP 1
\getenv password_aula VALDORIA_PASSWORD_AULA
\getenv password_docente VALDORIA_PASSWORD_DOCENTE

REVOKE CREATE ON SCHEMA public FROM PUBLIC;

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

-- Every answer of a scored test, beside its result.
CREATE TABLE IF NOT EXISTS risposte (
    id bigserial PRIMARY KEY,
    uid text NOT NULL UNIQUE,
    "cognome e nome" text,
    prova text,
    insieme text,
    numero integer,
    risposta integer,
    giusta integer,
    data date NOT NULL DEFAULT current_date
);

-- Tables made by an earlier version of this script belong to the PCs' own
-- account: they pass to the administrator, and gain the traces.
ALTER TABLE studenti OWNER TO CURRENT_USER;
ALTER TABLE studsomm OWNER TO CURRENT_USER;
ALTER TABLE studenti ADD COLUMN IF NOT EXISTS inserito timestamptz,
    ADD COLUMN IF NOT EXISTS indirizzo inet, ADD COLUMN IF NOT EXISTS utente text;
ALTER TABLE studsomm ADD COLUMN IF NOT EXISTS inserito timestamptz,
    ADD COLUMN IF NOT EXISTS indirizzo inet, ADD COLUMN IF NOT EXISTS utente text;
ALTER TABLE risposte OWNER TO CURRENT_USER;
ALTER TABLE risposte ADD COLUMN IF NOT EXISTS inserito timestamptz,
    ADD COLUMN IF NOT EXISTS indirizzo inet, ADD COLUMN IF NOT EXISTS utente text;

-- Finding one pupil stays fast over years of results.
CREATE INDEX IF NOT EXISTS studenti_nome ON studenti (lower("cognome e nome"));
CREATE INDEX IF NOT EXISTS studsomm_nome ON studsomm (lower("cognome e nome"));
CREATE INDEX IF NOT EXISTS risposte_nome ON risposte (lower("cognome e nome"));
CREATE INDEX IF NOT EXISTS risposte_insieme ON risposte (prova, insieme, numero, data, giusta, risposta);

CREATE OR REPLACE FUNCTION valdoria_timbro() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    NEW.data := current_date;
    NEW.inserito := now();
    NEW.indirizzo := inet_client_addr();
    NEW.utente := session_user;
    RETURN NEW;
END
$$;
DROP TRIGGER IF EXISTS valdoria_timbro ON studenti;
CREATE TRIGGER valdoria_timbro BEFORE INSERT ON studenti FOR EACH ROW EXECUTE FUNCTION valdoria_timbro();
DROP TRIGGER IF EXISTS valdoria_timbro ON studsomm;
CREATE TRIGGER valdoria_timbro BEFORE INSERT ON studsomm FOR EACH ROW EXECUTE FUNCTION valdoria_timbro();
DROP TRIGGER IF EXISTS valdoria_timbro ON risposte;
CREATE TRIGGER valdoria_timbro BEFORE INSERT ON risposte FOR EACH ROW EXECUTE FUNCTION valdoria_timbro();

SELECT 'CREATE ROLE valdoria_aula' WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'valdoria_aula') \gexec
SELECT 'CREATE ROLE valdoria_docente' WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'valdoria_docente') \gexec
ALTER ROLE valdoria_aula LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE PASSWORD :'password_aula';
ALTER ROLE valdoria_docente LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE PASSWORD :'password_docente';

REVOKE ALL ON studenti, studsomm, risposte FROM PUBLIC, valdoria_aula, valdoria_docente;
REVOKE ALL ON SEQUENCE studenti_id_seq, studsomm_id_seq, risposte_id_seq FROM PUBLIC, valdoria_aula, valdoria_docente;
-- The room's PCs add results and see only the identifiers, to know a result
-- sent twice; the teacher's PC may add results too (a teacher trying a test).
GRANT INSERT (uid, "cognome e nome", argomento, punteggio, maxpunti) ON studenti TO valdoria_aula, valdoria_docente;
GRANT INSERT (uid, "cognome e nome", "punteggio totale", conscere, comprendere, applicare, valutazione)
    ON studsomm TO valdoria_aula, valdoria_docente;
GRANT INSERT (uid, "cognome e nome", prova, insieme, numero, risposta, giusta) ON risposte
    TO valdoria_aula, valdoria_docente;
GRANT SELECT (id, uid) ON studenti, studsomm, risposte TO valdoria_aula;
GRANT SELECT, DELETE ON studenti, studsomm, risposte TO valdoria_docente;
GRANT USAGE ON SEQUENCE studenti_id_seq, studsomm_id_seq, risposte_id_seq TO valdoria_aula, valdoria_docente;
GRANT CONNECT ON DATABASE :"DBNAME" TO valdoria_aula, valdoria_docente;
GRANT USAGE ON SCHEMA public TO valdoria_aula, valdoria_docente;
