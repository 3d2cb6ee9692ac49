#!/bin/sh
# Fails when an include runs against the layers: each folder may include
# only itself and the folders named for it below. Run by .ci/run.
#   core                                      the base, includes no program folder
#   store                                     -> core
#   evaluation, display                       -> store, core
#   instrument                                -> evaluation, display, store, core
#   exchange                                  -> store, core
#   shell, ctl                                -> any of the above (ctl never shell)
#   app                                       -> shell and below
cd "$(dirname "$0")/.."
allowed() {
    case "$1" in
        core) echo "core" ;;
        store) echo "store core" ;;
        evaluation) echo "evaluation store core" ;;
        display) echo "display store core" ;;
        instrument) echo "instrument evaluation display store core" ;;
        exchange) echo "exchange store core" ;;
        shell) echo "shell instrument exchange evaluation display store core" ;;
        ctl) echo "ctl instrument exchange evaluation display store core simulator" ;;
        app) echo "app shell instrument exchange evaluation display store core" ;;
        simulator) echo "simulator" ;;
    esac
}
status=0
for folder in core store evaluation display instrument exchange shell ctl app simulator; do
    ok=" $(allowed "$folder") "
    for file in $(git ls-files "$folder/*.cpp" "$folder/*.h"); do
        for target in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)\/.*/\1/p' "$file" | sort -u); do
            case "$ok" in
                *" $target "*) ;;
                *) echo "$file includes $target/, against the layers"; status=1 ;;
            esac
        done
    done
done
# Nothing that computes, stores or is the base may pull in widgets.
if git grep -nE 'QtWidgets|QWidget|QDialog' -- core; then
    echo "core/ must not use widgets"; status=1
fi
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
