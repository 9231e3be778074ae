// Wizard steps for the user's shells and SSH client.
#pragma once

struct AppConsole;

/// Appends the prompt block to ~/.bashrc once.
void update_bash_prompt(const AppConsole& app);
/// Writes the fish prompt function.
void update_fish_prompt(const AppConsole& app);
/// Puts the connection-sharing defaults in front of ~/.ssh/config once; private modes.
void update_ssh_config(const AppConsole& app);
