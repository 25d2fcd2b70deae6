# Shell functions that start and stop a private MariaDB server for the program
# and its tests. Sourced by ./kelvo.
#
# The server treats double-quoted text as strings and stores an explicit id 0 as
# a fresh auto-increment value (no ANSI_QUOTES, no NO_AUTO_VALUE_ON_ZERO); strict
# mode makes it refuse a value a column cannot hold instead of cutting it short.

KELVO_SQL_MODE="STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION"

# port_answers PORT: true when something accepts TCP connections on 127.0.0.1:PORT.
port_answers() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# free_port: prints a TCP port on 127.0.0.1 that nothing listens on.
free_port() {
    local port
    for _ in $(seq 1 200); do
        port=$((20000 + RANDOM % 30000))
        if ! port_answers "$port"; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

# db_client PORT ARGS...: the mariadb client as root over TCP.
db_client() {
    local port=$1
    shift
    mariadb --protocol=tcp -h 127.0.0.1 -P "$port" -u root "$@"
}

# db_start DATADIR PORT: initialises DATADIR when empty, starts the server bound
# to 127.0.0.1:PORT in the background and waits until it answers.
db_start() {
    local datadir=$1 port=$2
    local user_opt=()
    [ "$(id -u)" -eq 0 ] && user_opt=(--user=root)
    mkdir -p "$datadir"
    if [ ! -d "$datadir/mysql" ]; then
        mariadb-install-db --no-defaults --datadir="$datadir" "${user_opt[@]}" \
            --auth-root-authentication-method=normal --skip-test-db \
            >"$datadir/install.log" 2>&1 || {
            echo "kelvo: could not initialise the database in $datadir:" >&2
            cat "$datadir/install.log" >&2
            return 1
        }
    fi
    mariadbd --no-defaults --datadir="$datadir" "${user_opt[@]}" \
        --bind-address=127.0.0.1 --port="$port" --socket="$datadir/mysqld.sock" \
        --pid-file="$datadir/mysqld.pid" --log-error="$datadir/error.log" \
        --sql-mode="$KELVO_SQL_MODE" \
        --character-set-server=utf8mb4 --collation-server=utf8mb4_czech_ci \
        --skip-log-bin --innodb-flush-log-at-trx-commit=2 \
        --innodb-buffer-pool-size=256M --max-connections=200 \
        >/dev/null 2>&1 &
    for _ in $(seq 1 300); do
        if db_client "$port" -e "select 1" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.2
    done
    echo "kelvo: the database server did not start; its log:" >&2
    tail -n 30 "$datadir/error.log" >&2
    return 1
}

# db_stop DATADIR: stops the server whose pid file is in DATADIR.
db_stop() {
    local datadir=$1 pid
    [ -f "$datadir/mysqld.pid" ] || return 0
    pid=$(cat "$datadir/mysqld.pid")
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 1 150); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.2
    done
    kill -9 "$pid" 2>/dev/null
}

# db_create_kelvo PORT SRCDIR: creates the database `kelvo` from the schema and
# seed files unless it exists.
db_create_kelvo() {
    local port=$1 src=$2
    if db_client "$port" -e "use kelvo" >/dev/null 2>&1; then
        return 0
    fi
    db_client "$port" -e "create database kelvo character set utf8mb4 collate utf8mb4_czech_ci" &&
        db_client "$port" kelvo <"$src/src/db/schema.sql" &&
        db_client "$port" kelvo <"$src/src/db/seed.sql"
}
