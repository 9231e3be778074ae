#include "wizard/shell_ssh_data.h"

#include "lib/files.h"

using namespace Velkor;

constexpr std::string_view shell_aliases = R"ALIASES(alias ni='sudo nala install'
alias nr='sudo nala purge'
alias nu='sudo nala upgrade'
alias ns='sudo nala search'
alias nf='sudo nala fetch'

alias ai='sudo apt install'
alias ar='sudo apt autoremove --purge'
alias aup='sudo apt update'
alias au='sudo apt upgrade'
alias asu='sudo aptitude safe-upgrade'
alias add-ppa='sudo add-apt-repository -y'
alias ll='ls -la'
)ALIASES";

// The colour variables nobody uses yet are kept so that users who edit the prompt find the
// whole palette at hand. tput is silenced: without a terminal type it only complains.
constexpr std::string_view bash_prompt_head = R"BASH(
PROMPT_COMMAND=__prompt_command

__prompt_command() {
    local EXIT="$?"

    local NoCol='\[\e[0m\]'
    local BoldOff="\[$(tput sgr0 2>/dev/null)\]"
    local Red='\[\033[38;5;9m\]'
    local Green='\[\033[38;5;10m\]'
    local Yellow='\[\033[38;5;11m\]'
    local Blue='\[\033[38;5;12m\]'
    local Magenta='\[\033[38;5;13m\]'
    local Cyan='\[\033[38;5;14m\]'
    local Silver='\[\033[38;5;145m\]'
    local Pink='\[\033[38;5;175m\]'
    local DarkOrange3='\[\033[38;5;172m\]'
    local Violet='\[\033[38;5;75m\]'
    local Gold='\[\033[38;5;179m\]'
    local Grey='\[\033[38;5;242m\]'

    PS1="\n${BoldOff}"
    PS1+="${Gold}\T${NoCol}"
    PS1+=" ${Yellow}\u${NoCol}${Yellow}@${NoCol}${Yellow}\h${NoCol}"
    PS1+=" ${Cyan}\w${NoCol}\n"
    if [ "$EXIT" != 0 ]; then
        PS1+="${Red}"
    else
        PS1+="${Green}"
    fi
    PS1+="❯ ${NoCol}"
    export PS1
}

export GOPATH="$HOME/go"

)BASH";

constexpr std::string_view bash_prompt_tail = R"BASH(
export HISTSIZE=1000
export HISTCONTROL=ignoredups:erasedups
)BASH";

// The home folder is matched as a plain prefix, not as a pattern, so a home path holding
// pattern characters still shows as "~".
constexpr std::string_view fish_prompt_head = R"FISH(
function fish_prompt
    set -l last_status $status

    set -l dir $PWD
    if test "$PWD" = "$HOME"
        set dir '~'
    else if test (string sub -l (string length -- "$HOME/") -- "$PWD") = "$HOME/"
        set dir '~'(string sub -s (math (string length -- "$HOME") + 1) -- "$PWD")
    end

    echo
    set_color ccae5c
    echo -n (date "+%I:%M:%S")
    set_color normal
    echo -n ' '
    set_color bryellow
    echo -n "$USER@"(prompt_hostname)
    set_color normal
    echo -n ' '
    set_color brcyan
    echo -n $dir
    if test $last_status -ne 0
        set_color brred
    else
        set_color brgreen
    end
    echo
    echo -n '❯ '
    set_color normal
end

)FISH";

const std::string bash_prompt_block =
    std::string(bash_prompt_head) + std::string(shell_aliases) + std::string(bash_prompt_tail);
const std::string fish_prompt_block =
    std::string(fish_prompt_head) + std::string(shell_aliases) + "\n";

const std::string_view ssh_config_block =
    "\n"
    "Host *\n"
    "  ServerAliveInterval 60\n"
    "  ControlPath ~/.ssh/controlmasters/%r@%h:%p\n"
    "  ControlMaster auto\n"
    "  ControlPersist 10m\n"
    "  Compression yes\n";

std::string bashrc_with_prompt(std::string_view bashrc) {
    return strip_newline(std::string(bashrc) + std::string(bash_prompt_block), true, true, false);
}

std::string ssh_config_with_defaults(std::string_view config) {
    return strip_newline(std::string(ssh_config_block) + std::string(config), true, true, false);
}
