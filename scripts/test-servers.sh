#!/usr/bin/env bash
# The web servers of the Windows tests: Debian's nginx on free loopback ports, serving the published
# demo tree (scripts/publish-demo.sh) over plain HTTP, over HTTPS with a certificate of a test
# authority made here for the run, and over HTTPS with a certificate of a second authority that
# nothing trusts. The Wine prefix trusts the first authority through its own root store, for as long
# as the servers run (tests/support/programs/trust_test_authority_win.cpp); the host's store is
# never touched.
#
#   eval "$(scripts/test-servers.sh start)"   publishes, starts nginx, prints the variables to export
#   scripts/test-servers.sh stop
set -euo pipefail
source "$(dirname "$0")/env.sh"
source "$root/scripts/nginx-lib.sh"
state="$root/build/test-servers"
tls="$state/tls"

trust_tool="$root/build/windows/trust_test_authority.exe"
if [ "${1:-}" = stop ]; then
    nginx_stop "$state"
    [ -f "$trust_tool" ] && { wine "$trust_tool" remove >/dev/null 2>&1 || true; }
    exit 0
fi
[ "${1:-}" = start ] || { echo "usage: test-servers.sh start|stop" >&2; exit 2; }

"$root/scripts/publish-demo.sh" >&2

# authority NAME: a certificate authority valid for a day; server NAME AUTHORITY: a server
# certificate for 127.0.0.1 (and nothing else) that it signs. The address is named as an IP
# address and as a DNS name: Wine's check of the host name reads DNS names only.
authority() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Lumaforge test $1" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
        -keyout "$tls/$1.key" -out "$tls/$1.pem" 2>/dev/null
}
server() {
    openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.1" -keyout "$tls/$1.key" -out "$tls/$1.csr" 2>/dev/null
    openssl x509 -req -days 1 -in "$tls/$1.csr" -CA "$tls/$2.pem" -CAkey "$tls/$2.key" -CAcreateserial \
        -extfile <(printf 'subjectAltName=DNS:127.0.0.1,IP:127.0.0.1\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n') \
        -out "$tls/$1.pem" 2>/dev/null
}
rm -rf "$tls" && mkdir -p "$tls"
authority ca && server server ca
authority rogue-ca && server rogue-server rogue-ca
openssl x509 -in "$tls/ca.pem" -outform DER -out "$tls/ca.der"
# In the prefix's registry once the helper has ended: processes started after it trust the authority.
wine "$trust_tool" add "$(winepath -w "$tls/ca.der")" >&2

read -r http_port https_port rogue_port <<<"$(free_ports 3)"
published="$root/build/demo-published"
site() {  # site LISTEN CERTIFICATE
    local certificate=${2:+"ssl_certificate $tls/$2.pem; ssl_certificate_key $tls/$2.key;"}
    printf '    server { listen 127.0.0.1:%s; %s root %s; }\n' "$1" "$certificate" "$published"
}
nginx_start "$state" "$(site "$http_port") $(site "$https_port ssl" server) $(site "$rogue_port ssl" rogue-server)"

echo "export LUMAFORGE_TEST_PUBLISHED_URL=http://127.0.0.1:$http_port/"
echo "export LUMAFORGE_TEST_HTTPS_URL=https://127.0.0.1:$https_port/"
echo "export LUMAFORGE_TEST_UNTRUSTED_HTTPS_URL=https://127.0.0.1:$rogue_port/"
echo "export LUMAFORGE_TEST_TLS_CA=$tls/ca.der"
echo "export LUMAFORGE_TEST_CATALOG_PUBLIC_KEY=$(cat "$root/build/demo-key/catalog.pub")"
