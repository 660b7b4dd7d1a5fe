# bash completion for izuzez
_izuzez()
{
    local cur prev words cword
    _init_completion || return

    case $prev in
        --interface)
            local addresses
            addresses=$(ip -4 -o addr show 2>/dev/null | awk '{ split($4, a, "/"); print a[1] }')
            COMPREPLY=($(compgen -W "$addresses" -- "$cur"))
            return
            ;;
        --wait)
            COMPREPLY=($(compgen -W "500 1000 2000" -- "$cur"))
            return
            ;;
        --ip | --netmask | --gateway)
            return
            ;;
    esac

    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            search | query | set-address | set-dhcp | doctor)
                command=${words[i]}
                break
                ;;
        esac
    done

    local global="--interface --verbose --help --version"
    case $command in
        "")
            COMPREPLY=($(compgen -W "search query set-address set-dhcp doctor $global" -- "$cur"))
            ;;
        search)
            COMPREPLY=($(compgen -W "--json --wait $global" -- "$cur"))
            ;;
        doctor)
            COMPREPLY=($(compgen -W "--json $global" -- "$cur"))
            ;;
        query)
            if [[ $cur != -* && $((cword - i)) -eq 2 ]]; then
                COMPREPLY=($(compgen -W "shares ssl workgroup codepage ideok sharename bt_firmware domain" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "$global" -- "$cur"))
            fi
            ;;
        set-address)
            COMPREPLY=($(compgen -W "--ip --netmask --gateway --password-stdin $global" -- "$cur"))
            ;;
        set-dhcp)
            COMPREPLY=($(compgen -W "--password-stdin $global" -- "$cur"))
            ;;
    esac
} && complete -F _izuzez izuzez
