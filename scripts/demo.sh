#!/usr/bin/env bash
# The updater's main job on a sample installation. Builds the updater, lays out an installed
# system in a temporary folder (client 1.0.0.9 and server 1.0.0.12 running as real processes,
# the live Firebird database dados/DADOS.FDB, CONFIG.ini), publishes an update (client
# 1.0.0.10, server 1.0.0.13, release notes, atualizacao.zip with the new executables and a
# SCRIPT.txt that changes the database) on a real FTP server on 127.0.0.1, and lets the updater
# install it:
#   in the window when a display is present: press "Verificar se há atualizações",
#       "Instalar nova versão" (answer "Sim") and "Abrir o Sistema";
#   otherwise, or with --install: KELVANTRA --install --yes --open, without a window;
#   with --check: only the update check, without a window.
# Afterwards it shows what changed: the processes, the executables, the backups, the database
# and the update log. Everything is removed at the end.
set -euo pipefail

mode=window
case "${1:-}" in
    "") ;;
    --install) mode=install ;;
    --check) mode=check ;;
    *) echo "usage: $0 [--install | --check]" >&2; exit 2 ;;
esac
[[ -n "${DISPLAY:-}" || "$mode" != window ]] || mode=install

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
samples=(sample-cliente-1.0.0.9 sample-servidor-1.0.0.12 sample-cliente-1.0.0.10 sample-servidor-1.0.0.13)

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target KELVANTRA "${samples[@]}"
sample() { find "$build/tests/app" -maxdepth 1 -type f -name "$1" | head -n 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvantra-demo-XXXXXX")
app="$work/app"
server_pid=""

# The processes running one of the installation's executables, old or new (a replaced one
# shows as "(deleted)").
system_pids() {
    local exe pid
    for exe in /proc/[0-9]*/exe; do
        pid=${exe#/proc/}
        pid=${pid%/exe}
        case "$(readlink "$exe" 2>/dev/null)" in
            "$app/cliente" | "$app/servidor" | "$app/cliente (deleted)" | "$app/servidor (deleted)")
                echo "$pid" ;;
        esac
    done
}

cleanup() {
    local pid
    for pid in $(system_pids); do kill "$pid" 2>/dev/null || true; done
    if [[ -n "$server_pid" ]]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

crlf() { sed 's/$/\r/'; } # the published files come from Windows machines
indent() { sed 's/^/    /'; }
isql() { isql-fb -q -user SYSDBA -password pelicanos "$app/dados/DADOS.FDB"; }
show_database() {
    isql <<'SQL' | indent
show tables;
show table CLIENTES;
select * from CLIENTES;
SQL
}
show_processes() {
    local pid
    for pid in $(system_pids); do
        echo "    pid $pid: $(readlink "/proc/$pid/exe")"
    done
}

# The installed system, running, with its database.
mkdir -p "$app/dados"
cp "$(sample sample-cliente-1.0.0.9)" "$app/cliente"
cp "$(sample sample-servidor-1.0.0.12)" "$app/servidor"
"$app/servidor" &
"$app/cliente" &
isql-fb -q >/dev/null <<SQL
create database '$app/dados/DADOS.FDB' user 'SYSDBA' password 'pelicanos'
    page_size 8192 default character set UTF8;
create table CLIENTES (ID integer not null primary key, NOME varchar(60));
insert into CLIENTES values (1, 'Ana Souza');
insert into CLIENTES values (2, 'Bruno Lima');
commit;
SQL
user="loja01@kaldoris.example"
password="Demo-2026!ab"

# The published update.
published="$work/ftp/atualizacao/loja01"
mkdir -p "$published" "$work/novos"
cp "$(sample sample-cliente-1.0.0.10)" "$work/novos/cliente"
cp "$(sample sample-servidor-1.0.0.13)" "$work/novos/servidor"
# One statement per block of lines; a procedure's body is one block as long as it holds no
# blank line.
crlf > "$work/novos/SCRIPT.txt" <<'SQL'
CREATE TABLE PRODUTOS (
  ID INTEGER NOT NULL PRIMARY KEY,
  DESCRICAO VARCHAR(80) NOT NULL,
  PRECO NUMERIC(12,2)
)

ALTER TABLE CLIENTES ADD EMAIL VARCHAR(120)

UPDATE CLIENTES SET NOME = UPPER(NOME)

CREATE PROCEDURE TOTAL_CLIENTES RETURNS (TOTAL INTEGER)
AS
BEGIN
  SELECT COUNT(*) FROM CLIENTES INTO :TOTAL;
  SUSPEND;
END
SQL
(cd "$work/novos" && /usr/bin/python3 -m zipfile -c "$published/atualizacao.zip" \
    cliente servidor SCRIPT.txt)
crlf > "$published/versaoFTP.ini" <<'INI'
[Versao]
Cliente=1.0.0.10
Servidor=1.0.0.13

[SCRIPT]
Primeiro=
INI
crlf > "$published/novidades.txt" <<'TXT'
Versão 1.0.0.10 - dezembro de 2026
- Cadastro de produtos com preço
- E-mail no cadastro de clientes
- Emissão de NF-e no novo leiaute da SEFAZ

Versão 1.0.0.9
- Importação de pedidos a partir de planilhas
TXT

# The FTP server, on a free port of 127.0.0.1.
/usr/bin/python3 "$root/tests/support/ftpserver.py" "$work/ftp" "$work/ftp.port" \
    "$user" "$password" 2>"$work/ftp.log" &
server_pid=$!
for _ in $(seq 100); do
    [[ -s "$work/ftp.port" ]] && break
    kill -0 "$server_pid" 2>/dev/null || { cat "$work/ftp.log" >&2; exit 1; }
    sleep 0.1
done
[[ -s "$work/ftp.port" ]] || { echo "demo: the FTP server did not start" >&2; exit 1; }
port=$(cat "$work/ftp.port")

crlf > "$app/CONFIG.ini" <<INI
[UPDATE]
NOME_CLIENTE=cliente
NOME_SERVIDOR=servidor
NOME_BD=DADOS.FDB
DIRETORIO_INSTALACAO=$app/
DIRETORIO_BD=$app/dados/
DIRETORIO_WEB=Loja01

[FTP]
HOST=127.0.0.1
PORTA=$port
USUARIO=$user
SENHA=$password
INI

echo "demo: installed client 1.0.0.9 and server 1.0.0.12 in $app, running:"
show_processes
echo "demo: the database $app/dados/DADOS.FDB before the update:"
show_database
echo "demo: FTP server on 127.0.0.1:$port publishes client 1.0.0.10 and server 1.0.0.13 with:"
tr -d '\r' < "$work/novos/SCRIPT.txt" | indent

status=0
case "$mode" in
    window)
        echo "demo: opening the updater window; press \"Verificar se há atualizações\","
        echo "      \"Instalar nova versão\" and, on the last page, \"Abrir o Sistema\""
        "$build/app/KELVANTRA" --config-dir "$app" || status=$?
        ;;
    install)
        echo "demo: KELVANTRA --install --yes --open --config-dir $app"
        echo "----"
        "$build/app/KELVANTRA" --install --yes --open --config-dir "$app" || status=$?
        echo "----"
        echo "demo: exit status $status (0: installed, 2: up to date, 1: failure)"
        ;;
    check)
        echo "demo: KELVANTRA --check --config-dir $app"
        echo "----"
        "$build/app/KELVANTRA" --check --config-dir "$app" || status=$?
        echo "----"
        echo "demo: exit status $status (0: an update is due, 2: up to date, 1: failure)"
        ;;
esac

if [[ "$mode" != check ]]; then
    echo "demo: running now (the old processes were ended; \"Abrir o Sistema\" starts the new):"
    show_processes
    echo "demo: a second check against the same server:"
    "$build/app/KELVANTRA" --check --config-dir "$app" | indent || true
    echo "demo: the update folder $app/atualizacao (downloads, backups, unpacked update):"
    ls -l "$app/atualizacao" | tail -n +2 | indent
    echo "demo: the database after the update:"
    show_database
    echo "demo: the new procedure TOTAL_CLIENTES:"
    echo 'select TOTAL from TOTAL_CLIENTES;' | isql | indent
fi
log="$app/atualizacao/LOG_UPDATE.txt"
if [[ -f "$log" ]]; then
    echo "demo: update log $log:"
    tr -d '\r' < "$log" | sed 's/^\xEF\xBB\xBF//' | indent
fi
exit "$status"
