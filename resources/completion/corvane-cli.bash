# bash completion for corvane-cli
_corvane_cli() {
  local cur prev words cword
  if declare -F _init_completion >/dev/null; then
    _init_completion || return
  else
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
  fi

  case $prev in
    --root|--bundle) COMPREPLY=($(compgen -d -- "$cur")); return ;;
    --home) return ;;
    --lang) COMPREPLY=($(compgen -W "en ja C" -- "$cur")); return ;;
    --repair) COMPREPLY=($(compgen -W "ask yes no" -- "$cur")); return ;;
  esac

  # The command path typed so far: the words that are not options.
  local path="" i
  for ((i = 1; i < cword; i++)); do
    case ${words[i]} in
      --root|--bundle|--home|--lang|--repair) ((i++)) ;;
      -*) ;;
      *) path="$path ${words[i]}" ;;
    esac
  done
  path=${path# }

  local commands="" options="--help"
  case $path in
    "") commands="check inspect repair provider help"; options="--help --version" ;;
    help) commands="check inspect repair provider" ;;
    "help inspect"|inspect) commands="network tcpip system hardware browsers mail" ;;
    "help provider"|provider) commands="show lines encode" ;;
    check) options="--help --root --home --bundle --verbose --lang --json --no-pause --repair --details --line-only --timings" ;;
    "inspect network"|"inspect tcpip") options="--help --root --verbose --raw" ;;
    inspect\ *) options="--help --root --home --verbose --raw" ;;
    repair) options="--help --root --home --bundle --verbose --yes --dry-run --no-pause --undo" ;;
    provider\ *) COMPREPLY=($(compgen -f -- "$cur")); return ;;
  esac
  if [[ $cur == -* || -z $commands ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -W "$commands" -- "$cur"))
  fi
}
complete -F _corvane_cli corvane-cli

# bash completion for corvane, the window
_corvane() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  case $prev in
    --root|--bundle) COMPREPLY=($(compgen -d -- "$cur")); return ;;
    --lang) COMPREPLY=($(compgen -W "en ja C" -- "$cur")); return ;;
    --home) return ;;
  esac
  COMPREPLY=($(compgen -W "--help --version --root --home --bundle --lang --no-pause --verbose" -- "$cur"))
}
complete -F _corvane corvane
