# bash completion for marivel-convert and marivel-update: their options, the format ids after
# --from and --to as the installed converter lists them, and marivel-update's commands. One file,
# installed under both programs' names, so either program's completion loads both.

_marivel_convert_formats()
{
    # $1: "r" for the readable formats, "w" for the writable ones; $2: the converter.
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

_marivel_update()
{
    local cur prev words cword
    _init_completion || return

    if [[ $prev == --to ]]; then
        # The converter beside the marivel-update typed names the formats.
        local converter=${1%marivel-update}marivel-convert
        COMPREPLY=($(compgen -W "$(_marivel_convert_formats w "$converter")" -- "$cur"))
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_parse_help "$1")" -- "$cur"))
        return
    fi

    # The command is the first word that is no option; count the arguments after it.
    local i command="" arguments=0
    for ((i = 1; i < cword; i++)); do
        [[ ${words[i]} == -* || ${words[i - 1]} == --to ]] && continue
        if [[ -z $command ]]; then
            command=${words[i]}
        else
            ((arguments++))
        fi
    done
    case $command in
        "")
            COMPREPLY=($(compgen -W "subscribe unsubscribe list run" -- "$cur"))
            ;;
        subscribe)
            # SITE and POI come from the site's index; TARGET is a file.
            ((arguments == 2)) && _filedir
            ;;
        unsubscribe)
            # The targets of the subscriptions, quoted as file names are.
            compopt -o filenames 2>/dev/null
            local IFS=$'\n'
            COMPREPLY=($("$1" list 2>/dev/null \
                | awk -F'\t' -v cur="$cur" 'index($4, cur) == 1 { print $4 }'))
            ;;
    esac
}
complete -F _marivel_update marivel-update
