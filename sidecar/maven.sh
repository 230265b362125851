# Sourced by the sidecar's scripts: runs Maven in the sidecar folder, quietly and in batch mode.
# Offline first; online only when the local repository (~/.m2) lacks something. Prints Maven's
# output afterwards, without the colour resets Debian's Maven writes even in batch mode, and
# returns Maven's status.
mvn_quiet() {
    local folder log rc=0
    folder="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
    log="$(mktemp "${TMPDIR:-/tmp}/quillmark-mvn.XXXXXX")"
    (cd "$folder" && mvn -B -q -o "$@") >"$log" 2>&1 || rc=$?
    if [ "$rc" != 0 ] && grep -q "offline mode" "$log"; then
        rc=0
        (cd "$folder" && mvn -B -q "$@") >"$log" 2>&1 || rc=$?
    fi
    sed 's/\x1b\[[0-9;]*m//g' "$log"
    rm -f "$log"
    return "$rc"
}
