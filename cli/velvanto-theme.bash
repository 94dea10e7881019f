# bash completion for velvanto-theme: its commands, each command's options,
# theme bundles and files.
_velvanto_theme() {
    local current="${COMP_WORDS[COMP_CWORD]}"
    local commands="check info slots set-image new batch apply restore export import"
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$current"))
        return
    fi
    local options="--help"
    case "${COMP_WORDS[1]}" in
        check) options+=" --json --strict" ;;
        info) options+=" --set" ;;
        slots) options+=" --json" ;;
        set-image) options+=" --unique-name" ;;
        new) options+=" --from-folder --from-dock" ;;
        restore) options+=" --original" ;;
        export) options+=" --output" ;;
        import) options+=" --to" ;;
    esac
    if [[ "$current" == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$current"))
        return
    fi
    COMPREPLY=($(compgen -f -- "$current"))
}
complete -o filenames -F _velvanto_theme velvanto-theme
