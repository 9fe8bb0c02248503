#!/usr/bin/env bash
# The updater's main job on a sample installation. Builds the updater, lays out an installed
# system (client 1.0.0.9, server 1.0.0.12, CONFIG.ini) in a temporary folder, publishes an
# update (client 1.0.0.10, server 1.0.0.13, release notes, atualizacao.zip) on a real FTP
# server on 127.0.0.1, and runs the update check against it: in the window when a display is
# present, otherwise (or with --check) without a window. Everything is removed at the end.
set -euo pipefail

mode=window
case "${1:-}" in
    "") ;;
    --check) mode=check ;;
    *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac
[[ -n "${DISPLAY:-}" ]] || mode=check

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
samples=(sample-cliente-1.0.0.9 sample-servidor-1.0.0.12 sample-cliente-1.0.0.10 sample-servidor-1.0.0.13)

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" -j2 --target KELVANTRA "${samples[@]}"
sample() { find "$build/tests/app" -maxdepth 1 -type f -name "$1" | head -n 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvantra-demo-XXXXXX")
server_pid=""
cleanup() {
    if [[ -n "$server_pid" ]]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

crlf() { sed 's/$/\r/'; } # the published files come from Windows machines

# The installed system and the updater's configuration.
app="$work/app"
mkdir -p "$app/dados"
cp "$(sample sample-cliente-1.0.0.9)" "$app/cliente"
cp "$(sample sample-servidor-1.0.0.12)" "$app/servidor"
user="loja01@kaldoris.example"
password="Demo-2026!ab"

# The published update.
published="$work/ftp/atualizacao/loja01"
mkdir -p "$published" "$work/novos"
cp "$(sample sample-cliente-1.0.0.10)" "$work/novos/cliente"
cp "$(sample sample-servidor-1.0.0.13)" "$work/novos/servidor"
(cd "$work/novos" && /usr/bin/python3 -m zipfile -c "$published/atualizacao.zip" cliente servidor)
crlf > "$published/versaoFTP.ini" <<'INI'
[Versao]
Cliente=1.0.0.10
Servidor=1.0.0.13

[SCRIPT]
Primeiro=A
INI
crlf > "$published/novidades.txt" <<'TXT'
Versão 1.0.0.10 - dezembro de 2026
- Emissão de NF-e no novo leiaute da SEFAZ
- Relatório de vendas por vendedor e por região
- Correção no cálculo do ICMS-ST para operações interestaduais

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

echo "demo: installed client 1.0.0.9 and server 1.0.0.12 in $app"
echo "demo: FTP server on 127.0.0.1:$port publishes client 1.0.0.10 and server 1.0.0.13"
status=0
if [[ "$mode" == window ]]; then
    echo "demo: opening the updater window; press \"Verificar se há atualizações\""
    "$build/app/KELVANTRA" --config-dir "$app" || status=$?
else
    echo "demo: KELVANTRA --check --config-dir $app"
    echo "----"
    "$build/app/KELVANTRA" --check --config-dir "$app" || status=$?
    echo "----"
    echo "demo: exit status $status (0: an update is due, 2: up to date, 1: failure)"
fi
log="$app/atualizacao/LOG_UPDATE.txt"
if [[ -f "$log" ]]; then
    echo "demo: update log $log:"
    tr -d '\r' < "$log" | sed 's/^\xEF\xBB\xBF//; s/^/    /'
fi
exit "$status"
