# Sourced: startPrivateDisplay WORKDIR starts an Xvfb of its own and exports DISPLAY;
# the caller's EXIT trap ends it with `kill "$xvfb"`. Xvfb writes its display number
# to WORKDIR/display once it takes connections.
startPrivateDisplay() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; return 1; }
        sleep 0.1
    done
    [ -s "$1/display" ] || { echo "Xvfb gave no display" >&2; return 1; }
    export DISPLAY=:$(head -n1 "$1/display")
}
