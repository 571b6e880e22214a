#!/usr/bin/env bash
# Fails when core code reaches for a program-wide object. The core (every
# folder under src/ but app/ and cli/, without their qt/ subfolders) is
# handed what it needs: a Context, a MethodFolder, a Prompts, a
# SettingsStore, a Clock, a debug sink. Only the files that define the
# program-wide objects may name them.
set -euo pipefail
cd "$(dirname "$0")/.."

# The accessors of the program-wide objects and the free functions that go
# through them (a call with a store, clock or prompts argument is fine).
names='read_setting_double|write_setting_double|read_folder_list|write_folder_list|install_prompts|install_clock|install_settings_store|prompts|settings_store|clock|config|program_context|program_method_folder|method_folder|masslynx_mode|method_extension|saved_configuration_path|document_path|debug_line|set_debug_sink|show_error|show_information|ask_yes_no|ask_abort_retry_ignore'
pattern="(^|[^.>:_[:alnum:]])($names)\\(|"'(^|[^.>:_[:alnum:]])(read|write)_setting_(integer|text)\("|(^|[^.>:_[:alnum:]])log_(message|only)\("|\b(PromptsScope|SettingsScope) \w'

# Where they are defined.
defining='^src/(ground/(prompts|settings|clock|documents|log|debug_lines)|config/(config_db|program_context))\.(h|cpp)$'

status=0
while IFS= read -r file; do
    [[ "$file" =~ $defining ]] && continue
    # Comments and declarations (a type before the name) do not count.
    hits=$(sed -E 's://.*$::' "$file" | grep -nE "$pattern" | grep -vE "\\b(virtual|override)\\b|(void|bool|int|AbortRetryIgnore|std::string|&)\\s+($names)\\(" || true)
    if [ -n "$hits" ]; then
        echo "$file reaches for a program-wide object:"; echo "$hits"
        status=1
    fi
done < <(find src -name '*.cpp' -o -name '*.h' | grep -vE '^src/(app|cli)/|/qt/|^src/main\.cpp$' | sort)
exit $status
