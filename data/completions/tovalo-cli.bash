# bash completion for tovalo-cli

_tovalo_cli()
{
    local cur prev words cword
    _init_completion -n : || return

    local commands="scan dups cleanup ocr trash parse search index query help"
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    local command=${words[1]}
    case $prev in
        --roots)
            # Folders separated by colons: complete the one after the last colon.
            local head="" tail=$cur
            if [[ $cur == *:* ]]; then
                head=${cur%:*}:
                tail=${cur##*:}
            fi
            COMPREPLY=($(compgen -d -- "$tail"))
            COMPREPLY=("${COMPREPLY[@]/#/$head}")
            compopt -o nospace -o filenames
            return
            ;;
        --apps | --scope)
            _filedir -d
            return
            ;;
        --index)
            _filedir sqlite
            return
            ;;
        --now | --sources | --limit)
            return
            ;;
    esac

    local options=""
    case $command in
        scan) options="--roots --apps --summary --help" ;;
        dups | cleanup | search) options="--roots --apps --help" ;;
        parse) options="--now --sources --help" ;;
        index) options="--rebuild --status --help" ;;
        query) options="--limit --scope --index --help" ;;
        ocr | trash) options="--help" ;;
        help)
            ((cword == 2)) && COMPREPLY=($(compgen -W "${commands% help}" -- "$cur"))
            return
            ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $command in
        ocr | trash) _filedir ;;
    esac
}
complete -F _tovalo_cli tovalo-cli
