// Wizard steps for the user's shells and SSH client.
#pragma once

struct AppConsole;

/// Appends the prompt block to ~/.bashrc once.
void update_bash_prompt(const AppConsole& app);
/// Writes the fish prompt function.
void update_fish_prompt(const AppConsole& app);
/// Puts the connection-sharing defaults in front of ~/.ssh/config once; private modes.
void update_ssh_config(const AppConsole& app);

// Whether each step's work is in place (read-only; the step itself and `status` ask it).
bool bash_prompt_in_place(const AppConsole& app);
/// The prompt function as the wizard writes it, not writable by others.
bool fish_prompt_in_place(const AppConsole& app);
/// The defaults in ~/.ssh/config, and the private modes of the folders and the file.
bool ssh_config_in_place(const AppConsole& app);
