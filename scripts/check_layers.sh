#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a higher layer.
# A file's layer comes from its top folder under src/ (a qt/ subfolder
# belongs to its folder's layer):
#   0 ground   1 config   2 language   3 link, engine
#   4 trays, datasystem, samplelist, print, journal   5 app
# Within one layer only these folders may include another:
#   engine -> link;  samplelist -> trays, datasystem;  print -> any of layer 4;
#   journal -> samplelist.
# src/cli, src/main.cpp, sim/, tests/ and bench/ sit on top and are not checked.
set -euo pipefail
cd "$(dirname "$0")/.."

layer_of() {
    case "$1" in
        ground) echo 0 ;;
        config) echo 1 ;;
        language) echo 2 ;;
        link|engine) echo 3 ;;
        trays|datasystem|samplelist|print|journal) echo 4 ;;
        app) echo 5 ;;
        *) echo "" ;;
    esac
}

same_layer_allowed() {
    case "$1>$2" in
        "engine>link"|"samplelist>trays"|"samplelist>datasystem"|print\>trays|print\>datasystem|print\>samplelist|"journal>samplelist") return 0 ;;
        *) return 1 ;;
    esac
}

status=0
while IFS= read -r file; do
    from=${file#src/}; from=${from%%/*}
    from_layer=$(layer_of "$from")
    [ -n "$from_layer" ] || continue
    while IFS= read -r target; do
        case "$target" in */*) ;; *) continue ;; esac   # same folder
        to=${target%%/*}
        [ "$to" = qt ] && continue                       # own qt/ subfolder
        to_layer=$(layer_of "$to")
        [ -n "$to_layer" ] || continue
        [ "$to" = "$from" ] && continue
        if [ "$to_layer" -gt "$from_layer" ] ||
           { [ "$to_layer" -eq "$from_layer" ] && ! same_layer_allowed "$from" "$to"; }; then
            echo "$file includes $target ($from is layer $from_layer, $to is layer $to_layer)"
            status=1
        fi
    done < <(sed -nE 's/^\s*#\s*include\s*"([^"]+)".*/\1/p' "$file")
done < <(find src -mindepth 2 \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ "$status" -ne 0 ]; then
    echo "Includes against the layer order (see the README's layout section)."
fi
exit "$status"
