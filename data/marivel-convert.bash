# bash completion for marivel-convert: its options, and the format ids after --from and --to
# as the installed converter lists them.

_marivel_convert_formats()
{
    # $1: "r" for the readable formats, "w" for the writable ones.
    "$2" --list-formats 2>/dev/null | awk -F'\t' -v kind="$1" '$1 == kind { print $2 }'
}

_marivel_convert()
{
    local cur prev words cword
    _init_completion || return

    case $prev in
        --from)
            COMPREPLY=($(compgen -W "$(_marivel_convert_formats r "$1")" -- "$cur"))
            return
            ;;
        --to)
            COMPREPLY=($(compgen -W "$(_marivel_convert_formats w "$1")" -- "$cur"))
            return
            ;;
        --into)
            _filedir -d
            return
            ;;
        --encoding)
            COMPREPLY=($(compgen -W "windows-1252 utf-8" -- "$cur"))
            return
            ;;
        --option | --drop-duplicates)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_parse_help "$1")" -- "$cur"))
        return
    fi
    _filedir
}
complete -F _marivel_convert marivel-convert
