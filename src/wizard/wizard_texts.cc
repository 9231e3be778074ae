#include "wizard/wizard_texts.h"

#include "build_config.h"
#include "lib/files.h"

using namespace Velkor;

std::string welcome_title() { return std::string("Kelvane ~ ") + KELVANE_WEBSITE_NAME; }

const std::string_view welcome_text =
    "This wizard will execute some common post-install tasks.\n"
    "\n"
    "System will reboot after installation is complete.\n"
    "Save your work and close any open applications.\n"
    "\n"
    "Press Enter to continue...\n";

const std::string_view chrome_eula_text =
    "By downloading Google Chrome, you agree to the Google Terms of Service\n"
    "and Chrome and Chrome OS Additional Terms of Service.\n"
    " - https://policies.google.com/terms\n"
    " - https://www.google.com/chrome/terms/\n"
    " \n"
    "Do you agree to the Google Chrome EULA ?\n";

// The aliases both shells get, in one place so the two prompts never drift apart.
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

const std::string_view guake_autostart_entry =
    "\n"
    "[Desktop Entry]\n"
    "Name[ca]=Terminal Guake\n"
    "Name[cs]=Terminál Guake\n"
    "Name[de]=Guake-Terminal\n"
    "Name[es]=Terminal Guake\n"
    "Name[fa]=ترمینال گواک\n"
    "Name[fr]=Terminal Guake\n"
    "Name[gl]=Terminal Guake\n"
    "Name[hr]=Guake terminal\n"
    "Name[hu]=Guake terminál\n"
    "Name[it]=Terminale Guake\n"
    "Name[ja]=Guake 端末\n"
    "Name[ko]=Guake 터미널\n"
    "Name[nb]=Guake terminal\n"
    "Name[nl]=Guake-terminal\n"
    "Name[pa]=ਗੁਏਕ ਟਰਮੀਨਲ\n"
    "Name[pl]=Terminal Guake\n"
    "Name[pt_BR]=Terminal Guake\n"
    "Name[ru]=Терминал Guake\n"
    "Name[sv]=Guake-terminal\n"
    "Name[tr]=Guake Uçbirimi\n"
    "Name[uk]=Термінал Guake\n"
    "Name[zh_CN]=Guake 终端\n"
    "Name=Guake Terminal\n"
    "Comment[cs]=Použijte příkazový řádek v terminálu ve stylu Quake\n"
    "Comment[de]=Befehlszeile in einem Quake-ähnlichen Terminal verwenden\n"
    "Comment[fr]=Utiliser la ligne de commande dans un terminal à la Quake\n"
    "Comment[pl]=Używanie wiersza poleceń w terminalu w stylu gry Quake\n"
    "Comment[ru]=Использовать командную строку в терминале в стиле Quake\n"
    "Comment=Use the command line in a Quake-like terminal\n"
    "TryExec=guake\n"
    "Exec=guake\n"
    "Icon=guake\n"
    "Type=Application\n"
    "Categories=GNOME;GTK;System;Utility;TerminalEmulator;\n"
    "StartupNotify=true\n"
    "X-Desktop-File-Install-Version=0.22\n"
    "X-GNOME-Autostart-enabled=true\n"
    "Hidden=false\n"
    "NoDisplay=false\n";

const std::string_view appimagelauncher_config =
    "\n"
    "[AppImageLauncher]\n"
    "ask_to_move=false\n"
    "destination=~/Applications\n"
    "enable_daemon=true\n"
    "\n"
    "[appimagelauncherd]\n"
    "additional_directories_to_watch=~/Applications\n"
    "monitor_mounted_filesystems=false\n";

std::string bashrc_with_prompt(std::string_view bashrc) {
    return strip_newline(std::string(bashrc) + std::string(bash_prompt_block), true, true, false);
}

std::string ssh_config_with_defaults(std::string_view config) {
    return strip_newline(std::string(ssh_config_block) + std::string(config), true, true, false);
}
