# bash completion for velvanto-theme: its commands and their options, theme
# bundles and folders, archives, images and key files, and the slot keys of
# the bundle named before the key (read with "velvanto-theme slots").
_velvanto_theme() {
    local current="${COMP_WORDS[COMP_CWORD]}" previous="${COMP_WORDS[COMP_CWORD - 1]}"
    local commands="check info slots set-image new render batch apply restore export import keygen update-check update appcast"
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$current"))
        return
    fi
    local command="${COMP_WORDS[1]}" options="--help"
    case "$command" in
        check) options+=" --json --strict" ;;
        info) options+=" --set" ;;
        slots) options+=" --json" ;;
        set-image) options+=" --unique-name" ;;
        new) options+=" --from-folder --from-dock" ;;
        restore) options+=" --original" ;;
        export) options+=" --output" ;;
        import) options+=" --to" ;;
        update-check) options+=" --json" ;;
        update) options+=" --allow-unsigned" ;;
        appcast) options+=" --key --url-prefix --notes" ;;
    esac
    # The value of an option.
    case "$previous" in
        --from-folder | --to)
            COMPREPLY=($(compgen -d -- "$current"))
            return
            ;;
        -o | --output | --key | --notes)
            COMPREPLY=($(compgen -f -- "$current"))
            return
            ;;
        --url-prefix)
            COMPREPLY=()
            return
            ;;
        --set)
            compopt -o nospace 2>/dev/null
            COMPREPLY=($(compgen -S = -W "name author site version feed public-key" -- "$current"))
            return
            ;;
    esac
    # The operands before this word; after "--" every word is one.
    local operands=() ended="" index
    for ((index = 2; index < COMP_CWORD; index++)); do
        local word="${COMP_WORDS[index]}"
        if [ -n "$ended" ]; then
            operands+=("$word")
        elif [ "$word" = "--" ]; then
            ended=1
        elif [[ "$word" == @(--from-folder|--to|-o|--output|--set|--key|--url-prefix|--notes) ]]; then
            ((index++))
        elif [[ "$word" != -* ]]; then
            operands+=("$word")
        fi
    done
    if [ -z "$ended" ] && [[ "$current" == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$current"))
        return
    fi
    case "$command:${#operands[@]}" in
        set-image:1)
            local bundle="${operands[0]}" keys
            [[ "$bundle" == "~/"* ]] && bundle="$HOME/${bundle#"~/"}"
            keys=$("${COMP_WORDS[0]}" slots -- "$bundle" 2>/dev/null |
                awk 'NR > 1 && !seen[$2]++ { print $2 }')
            COMPREPLY=($(compgen -W "$keys" -- "$current"))
            ;;
        set-image:2 | import:0 | keygen:0 | appcast:*) COMPREPLY=($(compgen -f -- "$current")) ;;
        restore:*) COMPREPLY=() ;;
        # Bundles are folders, as are batch's and new's places.
        *) COMPREPLY=($(compgen -d -- "$current")) ;;
    esac
}
complete -o filenames -F _velvanto_theme velvanto-theme
