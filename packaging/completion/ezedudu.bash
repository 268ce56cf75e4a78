# bash completion for ezedudu-cli, ezedudu and ezedudu-studio: their options,
# the values of those that take a word, and pictures for arguments.

_ezedudu()
{
    local cur prev words cword
    _init_completion || return

    case $prev in
        --dither) COMPREPLY=($(compgen -W 'none floyd-steinberg ordered' -- "$cur")); return ;;
        --levels) COMPREPLY=($(compgen -W 'off auto' -- "$cur")); return ;;
        --columns | --rows) COMPREPLY=($(compgen -W 'auto' -- "$cur")); return ;;
        --preview-theme) COMPREPLY=($(compgen -W 'light dark' -- "$cur")); return ;;
        --layout) COMPREPLY=($(compgen -W 'nfo p2p diz' -- "$cur")); return ;;
        --preview) _filedir png; return ;;
        -o | --output | --compose | --fields) _filedir; return ;;
        --set) return ;;
        --cell-aspect | --contrast | --brightness | --gamma | --max-megapixels | --width) return ;;
    esac

    if [[ $cur == -* ]]; then
        local options='--columns --rows --cell-aspect --levels --contrast --brightness --gamma --invert
            --dither --max-megapixels -h --help -v --version'
        [[ ${words[0]##*/} != ezedudu ]] && options+=' --preview-theme'
        [[ ${words[0]##*/} == ezedudu-cli ]] && options+=' -o --output --preview --utf8 -q --quiet --check --width --layout --compose --set --fields'
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    if [[ ${words[0]##*/} == ezedudu-cli && " ${words[*]} " == *" --check "* ]]; then
        _filedir '@(nfo|diz|txt|NFO|DIZ|TXT)'
        return
    fi
    _filedir '@(bmp|dib|png|jpg|jpeg|gif|tif|tiff|webp|pbm|pgm|ppm|pnm|xbm|xpm|BMP|PNG|JPG|JPEG|GIF|TIF|TIFF|WEBP)'
} &&
    complete -F _ezedudu ezedudu ezedudu-cli ezedudu-studio
