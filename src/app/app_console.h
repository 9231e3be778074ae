// The application: all state of a run, the dialogs, actions and wizard steps.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

struct Dialog;

/// Thrown to end the process through main() with `status`; nothing else calls exit().
struct AppExit {
    int status;
};

class AppConsole {
   public:
    /// Tag for building an object without the start-up checks (tests).
    struct SkipStartupChecks {};

    /// Runs the start-up checks; ends the process (AppExit) when one fails.
    AppConsole();
    explicit AppConsole(SkipStartupChecks);

    /// Reads the reboot options, then runs the wizard or the main menu. Always 0.
    int execute(const std::vector<std::string>& args);

    /// Ends the process with `status` by throwing AppExit.
    [[noreturn]] void exit_process(int status);
    /// The failure policy of package commands: "sync; sync;", then status 1.
    [[noreturn]] void exit_failed();

    /// Runs a menu or checklist by the dialog protocol and returns its answer unchanged
    /// ("" when the answer file cannot be read). A cancel writes "Cancelled by user" (and,
    /// with `log_answer_on_cancel`, the answer file as a debug line) and ends with status 0.
    std::string run_dialog(const Dialog& dialog, bool log_answer_on_cancel);

    // ---- start-up checks (app/startup.cc) -----------------------------------------------
    void run_startup_checks();
    void check_not_root();
    void check_user();
    void check_dependencies();
    void check_distribution();
    void check_cpu_level();

    // ---- package and system operations (ops/packages.cc) --------------------------------
    void apt_install(std::string_view packages, bool use_eatmydata, bool skip_if_installed);
    void apt_remove(std::string_view packages);
    void apt_update();
    void add_ppa(std::string_view ppa);
    void apt_install_from_deb(std::string_view package_name, std::string_view deb_file);
    void deb_get_install(std::string_view packages);
    /// Reloads the installed-package list; the new list (empty when dpkg-query failed).
    std::vector<std::string> check_installed_packages();
    bool pkg_is_installed(std::string_view package_name);
    int copy_file(std::string_view src, std::string_view dst, bool use_sudo);
    void dconf_load(std::string_view txt);
    bool boot_mode_is_efi();
    void log_header(std::string_view message);
    /// Exact lookup in the installed-package set.
    bool installed(std::string_view package_name) const;
    /// Replaces the installed-package list and its lookup set.
    void set_installed_packages(std::vector<std::string> names);

    // ---- dialogs and main menu (app/main_menu.cc, ops/theme.cc, ops/layout.cc) ------------
    void get_choice_action();
    void get_choice_theme();
    void apply_theme(std::string_view theme_name);
    void get_choice_layout();
    void install_gnome_extensions();
    void update_config_gnome_extensions(bool set_favorites);
    void apply_layout(std::string_view layout_name);

    // ---- menu-only actions (ops/xanmod.cc, app/refind.cc, app/extra_apps.cc) --------------
    void get_choice_xanmod_kernel();
    void show_xanmod_selection_error(std::string_view message);
    void install_xanmod();
    void get_choice_refind_theme();
    void install_refind(std::string_view refind_theme);
    void get_choice_advanced();
    void install_extra_apps();

    // ---- the wizard (wizard/*.cc) ---------------------------------------------------------
    void setup();
    void show_welcome();
    void get_choice_web_browser();
    void get_chrome_eula_status();
    void enable_extra_repositories();
    void install_dependencies();
    void remove_apps();
    void snap_remove(std::string_view snap_name);
    void install_apps();
    void install_deb_get();
    void install_nala();
    void install_appimagelauncher();
    void install_flatpak();
    void install_snapd();
    void update_bash_prompt();
    void update_fish_prompt();
    void update_config_gnome_terminal_pre();
    void update_config_gnome_terminal_post();
    void update_app_configs();
    void update_config_nautilus();
    void update_config_gedit();
    void update_config_desktop();
    void update_config_guake();
    void update_ssh_config();
    void update_mimeapps();
    void install_web_browser();
    void install_chrome();
    void install_firefox();
    void install_guake();
    void install_zram_tools();
    void install_libreoffice();
    void install_updates();
    void disable_apt_news();
    void install_wallpaper();
    void install_variety();

    // ---- state of the run, in declaration order ------------------------------------------
    std::string user_home;
    std::string user_name;
    std::string cache_dir;
    std::string done_marker_path;
    std::vector<std::string> supported_versions{"22.04", "22.10"};
    std::string dist_version_id;
    std::string dist_pretty_name;
    std::string dist_name;
    std::string dist_id;
    std::string selected_action;
    std::string web_browser{"chrome"};
    bool chrome_eula_accepted = false;
    std::string layout{"windows"};
    std::string theme{"light"};
    std::string selected_install;
    std::string xanmod_kernel;
    bool reboot = true;
    std::string cpu_flags;
    int cpu_level = 0;
    std::vector<std::string> installed_packages;

   private:
    std::unordered_set<std::string> installed_set_;
};
