#!/usr/bin/env bash
# Creates Valdoria's two result tables in a PostgreSQL database (and nothing
# else). The arguments are psql's, naming the server, the database and the
# user, for example:
#   tools/server/prepara-server.sh -h aula-server -U valdoria -d valdoria
# Run it again at will: tables already there are left as they are.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec psql -v ON_ERROR_STOP=1 -q "$@" -f "$here/crea-tabelle.sql"
