#!/bin/sh
# Runs a test program inside a D-Bus session of its own, with a Secret Service (gnome-keyring)
# that was started for it with an empty, unlocked login keyring in a temporary home. The user's
# own keyring is never touched. When that cannot be set up, the program still runs, with
# QUILLMARK_SECRET_SERVICE_SKIP saying why, so that it can skip with a message.
#
#   with-secret-service.sh PROGRAM [ARGUMENTS...]
#   with-secret-service.sh --without PROGRAM [ARGUMENTS...]
#   with-secret-service.sh --no-bus PROGRAM [ARGUMENTS...]
#   with-secret-service.sh --prompt-display PROGRAM [ARGUMENTS...]
#
# With --without, the D-Bus session has no Secret Service at all, as on a machine without a
# keyring service, and QUILLMARK_NO_SECRET_SERVICE is set when that session started. With
# --no-bus there is not even a D-Bus session to ask (its address names no bus, and none can be
# started without a display); QUILLMARK_NO_SECRET_SERVICE is set too.
set -u

# Runs the program with the reason why there is no Secret Service for it.
run_without() {
    QUILLMARK_SECRET_SERVICE_SKIP="$1"
    export QUILLMARK_SECRET_SERVICE_SKIP
    shift
    exec "$@"
}

if [ "${1:-}" = "--no-bus" ]; then
    shift
    home=$(mktemp -d) || exit 1
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION \
        -u KDE_FULL_SESSION -u KDE_SESSION_VERSION -u GNOME_DESKTOP_SESSION_ID \
        HOME="$home" XDG_RUNTIME_DIR="$home" \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$home/no-bus" QUILLMARK_NO_SECRET_SERVICE=1 \
        "$@" || status=$?
    rm -rf "$home"
    exit $status
fi

if [ "${1:-}" = "--without-inside" ]; then
    shift
    QUILLMARK_NO_SECRET_SERVICE=1
    export QUILLMARK_NO_SECRET_SERVICE
    exec "$@"
fi
without=false
if [ "${1:-}" = "--without" ]; then
    without=true
    shift
fi
# With --prompt-display the keyring's unlock prompt shows on a virtual display (Xvfb) of its own,
# where nobody answers it: it waits, as one behind the window or on another screen does.
prompt_display=false
if [ "${1:-}" = "--prompt-display" ]; then
    prompt_display=true
    shift
fi

if [ "${1:-}" != "--inside-session" ]; then
    if [ $without = true ]; then
        if ! command -v dbus-run-session >/dev/null 2>&1; then
            run_without "dbus-run-session is not installed" "$@"
        fi
        home=$(mktemp -d) || run_without "no temporary folder" "$@"
        mkdir -p "$home/run" "$home/services"
        chmod 700 "$home/run"
        # a session bus that can start no service: nothing answers for the Secret Service
        cat >"$home/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=$home/run</listen>
  <servicedir>$home/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
        HOME="$home" XDG_RUNTIME_DIR="$home/run" \
            dbus-run-session --config-file="$home/session.conf" -- \
            env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION \
            -u KDE_SESSION_VERSION -u GNOME_DESKTOP_SESSION_ID "$0" --without-inside "$@"
        status=$?
        rm -rf "$home"
        exit $status
    fi
    for tool in dbus-run-session dbus-send gnome-keyring-daemon; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            run_without "$tool is not installed" "$@"
        fi
    done
    home=$(mktemp -d) || run_without "no temporary folder" "$@"
    mkdir -p "$home/data" "$home/config" "$home/cache" "$home/run"
    chmod 700 "$home/run"
    # Desktop hints would make the keychain library look for another wallet. Without a display
    # the keyring's unlock prompt cannot show: it ends at once, as a cancelled one does, rather
    # than wait for an answer.
    display=
    xvfb=
    if [ $prompt_display = true ] && command -v Xvfb >/dev/null 2>&1; then
        Xvfb -displayfd 3 -screen 0 800x600x24 3>"$home/display" >/dev/null 2>&1 &
        xvfb=$!
        tries=0
        while [ ! -s "$home/display" ] && [ $tries -lt 100 ] && kill -0 $xvfb 2>/dev/null; do
            tries=$((tries + 1))
            sleep 0.1
        done
        [ -s "$home/display" ] && display=":$(cat "$home/display")"
    fi
    env -u DISPLAY -u WAYLAND_DISPLAY ${display:+DISPLAY=$display} HOME="$home" \
        XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
        XDG_RUNTIME_DIR="$home/run" \
        dbus-run-session -- env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION \
        -u KDE_SESSION_VERSION -u GNOME_DESKTOP_SESSION_ID \
        "$0" --inside-session "$@"
    status=$?
    [ -n "$xvfb" ] && kill $xvfb 2>/dev/null
    started=false
    [ -e "$home/session-started" ] && started=true
    rm -rf "$home"
    if [ $started = false ]; then
        run_without "dbus-run-session could not start a session" "$@"
    fi
    exit $status
fi
shift
: >"$HOME/session-started"

# The empty password, ended by a line break, creates and unlocks the login keyring.
printf '\n' | gnome-keyring-daemon --foreground --unlock --components=secrets \
    >"$HOME/keyring.log" 2>&1 &
keyring=$!

owned=false
tries=0
while [ $tries -lt 100 ]; do
    if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null |
        grep -q 'boolean true'; then
        owned=true
        break
    fi
    if ! kill -0 $keyring 2>/dev/null; then
        break
    fi
    tries=$((tries + 1))
    sleep 0.1
done

if [ $owned = true ]; then
    QUILLMARK_SECRET_SERVICE=1
    export QUILLMARK_SECRET_SERVICE
else
    QUILLMARK_SECRET_SERVICE_SKIP="gnome-keyring-daemon did not start: $(cat "$HOME/keyring.log")"
    export QUILLMARK_SECRET_SERVICE_SKIP
fi
"$@"
status=$?
kill $keyring 2>/dev/null
wait $keyring 2>/dev/null
exit $status
