# Sourced by the scripts that serve a published tree with Debian's nginx: one private nginx per state
# folder in the build tree, with its configuration, logs, temporary files and pid there, on loopback
# ports only. Never the system's nginx service or its configuration.

# free_ports [COUNT]: as many TCP ports on 127.0.0.1 that nothing listens on now, all different.
free_ports() {
    python3 -c '
import socket, sys
sockets = [socket.socket() for _ in range(int(sys.argv[1]))]
for s in sockets:
    s.bind(("127.0.0.1", 0))
print(" ".join(str(s.getsockname()[1]) for s in sockets))' "${1:-1}"
}

# nginx_start STATE_DIR SERVER_BLOCKS: writes STATE_DIR/nginx.conf around the given server { } blocks
# and starts nginx with it; returns once every port it listens on answers.
nginx_start() {
    local state=$1 servers=$2 port
    nginx_stop "$state"
    mkdir -p "$state/logs" "$state/temp"
    cat >"$state/nginx.conf" <<CONF
# Written by scripts/nginx-lib.sh; every path lies in this folder.
worker_processes 1;
pid $state/nginx.pid;
error_log $state/logs/error.log warn;
events { worker_connections 256; }
http {
    include /etc/nginx/mime.types;
    default_type application/octet-stream;
    access_log $state/logs/access.log;
    client_body_temp_path $state/temp/body;
    proxy_temp_path $state/temp/proxy;
    fastcgi_temp_path $state/temp/fastcgi;
    uwsgi_temp_path $state/temp/uwsgi;
    scgi_temp_path $state/temp/scgi;
    sendfile on;
    # The program asks with HTTP/1.0 and judges a download by its Content-Length.
    charset off;
    etag off;
$servers
}
CONF
    nginx -q -p "$state" -e "$state/logs/error.log" -c "$state/nginx.conf"
    for port in $(grep -o 'listen 127\.0\.0\.1:[0-9]*' "$state/nginx.conf" | cut -d: -f2); do
        for _ in $(seq 100); do
            (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue 2
            sleep 0.1
        done
        echo "nginx-lib: nginx does not answer on 127.0.0.1:$port; see $state/logs/error.log" >&2
        return 1
    done
}

# nginx_stop STATE_DIR: stops the nginx started there, if it runs.
nginx_stop() {
    local state=$1 pid
    [ -f "$state/nginx.pid" ] || return 0
    pid=$(cat "$state/nginx.pid")
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -QUIT "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -f "$state/nginx.pid"
}
