#!/usr/bin/env bash
# Checks the shell completions against the programs: bash offers, and zsh
# lists, every option each program's --help shows, and bash offers
# --dither's modes.
# Usage: check_completions.sh BASH-COMPLETION ZSH-COMPLETION PROGRAM...
set -euo pipefail
bash_completion=$1 zsh_completion=$2
shift 2
failed=0
fail() { echo "completion: $*"; failed=1; }

# What bash offers on PROGRAM's command line after WORD... and a last word.
offered() {
  bash -c 'source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _ezedudu "$1" "${@: -1}" "${@: -2:1}"; printf "%s\n" "${COMPREPLY[@]}"' _ "$bash_completion" "$@"
}

for program in "$@"; do
  name=$(basename "$program")
  options=$(QT_QPA_PLATFORM=offscreen "$program" --help | grep -oE -- '^  (-[A-Za-z0-9], )?--[a-z0-9-]+' |
    grep -oE -- '-{1,2}[A-Za-z0-9-]+')
  [ -n "$options" ] || fail "$name --help shows no options"
  bash_offers=$(offered "$name" -)
  zsh_part=$(sed -n "/^  $name)\$/,/;;/p" "$zsh_completion")
  for option in $options; do
    grep -qxF -- "$option" <<<"$bash_offers" || fail "bash does not offer $option to $name"
    grep -qE -- "^      '(\([^)]*\))?$option[=+]?\[" <<<"$zsh_part" || fail "zsh does not list $option for $name"
  done
done

modes=$(offered ezedudu-cli --dither "" | paste -sd ' ')
[ "$modes" = "none floyd-steinberg ordered" ] || fail "bash offers '$modes' after --dither"
exit $failed
