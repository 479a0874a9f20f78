#!/usr/bin/env bash
# Prepares a PostgreSQL database for the results of a computer room: the two
# result tables, owned by the administrator who runs this, and two roles:
# valdoria_aula for the room's PCs (may only add results) and valdoria_docente
# for the teacher (reads and deletes them). Each role's password is read from
# the first line of a file. The other arguments are psql's, naming the server,
# the database and the administrator, for example:
#   tools/server/prepara-server.sh -h aula-server -U postgres -d valdoria \
#       --password-aula /root/password-aula --password-docente /root/password-docente
# Run it again at will: results are kept, and the passwords become the files'.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage() {
    echo "uso: $0 [opzioni di psql] --password-aula FILE --password-docente FILE" >&2
    exit 2
}
aula="" docente="" psqlargs=()
while (($#)); do
    case "$1" in
        --password-aula) (($# > 1)) || usage; aula=$2; shift 2 ;;
        --password-aula=*) aula=${1#*=}; shift ;;
        --password-docente) (($# > 1)) || usage; docente=$2; shift 2 ;;
        --password-docente=*) docente=${1#*=}; shift ;;
        *) psqlargs+=("$1"); shift ;;
    esac
done
[ -n "$aula" ] && [ -n "$docente" ] || usage
for f in "$aula" "$docente"; do
    [ -r "$f" ] || { echo "$0: il file della password $f non si può leggere" >&2; exit 1; }
done
VALDORIA_PASSWORD_AULA=$(head -n 1 "$aula")
VALDORIA_PASSWORD_DOCENTE=$(head -n 1 "$docente")
[ -n "$VALDORIA_PASSWORD_AULA" ] && [ -n "$VALDORIA_PASSWORD_DOCENTE" ] \
    || { echo "$0: una password è vuota" >&2; exit 1; }
export VALDORIA_PASSWORD_AULA VALDORIA_PASSWORD_DOCENTE
exec psql -v ON_ERROR_STOP=1 -q "${psqlargs[@]}" -f "$here/crea-tabelle.sql"
