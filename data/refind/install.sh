#!/usr/bin/env bash
# Installs the refind-theme-regular theme into the rEFInd folder on the EFI system partition
# and makes refind.conf include it. Run as root with one argument: light or dark.
#
# Environment (for tests and mirrors):
#   KELVANE_ESP_ROOT          mount point of the EFI system partition (default /boot/efi)
#   KELVANE_REFIND_THEME_REPO git repository to fetch the theme from
#
# The theme's light and dark looks differ only in the background and selection images:
# a banner, selection_big or selection_small line of theme.conf whose image name holds
# "_dark" belongs to the dark look, every other such line to the light one. The chosen look's
# lines are made active and the other look's lines are commented out.
set -euo pipefail

theme_name=refind-theme-regular
theme_include="include themes/$theme_name/theme.conf"

fail() {
    echo "install.sh: $*" >&2
    exit 1
}

if [ $# -ne 1 ]; then
    fail "usage: install.sh light|dark"
fi
variant=$1
case "$variant" in
light | dark) ;;
*) fail "unknown theme '$variant' (expected light or dark)" ;;
esac

esp_root=${KELVANE_ESP_ROOT:-/boot/efi}
theme_repo=${KELVANE_REFIND_THEME_REPO:-https://github.com/bobafetthotmail/$theme_name.git}

# Same rule as the installer program: the usual folder when it holds the configuration,
# else the fallback boot folder.
if [ -f "$esp_root/EFI/refind/refind.conf" ]; then
    refind_dir=$esp_root/EFI/refind
elif [ -f "$esp_root/EFI/BOOT/refind.conf" ]; then
    refind_dir=$esp_root/EFI/BOOT
else
    fail "no refind.conf in '$esp_root/EFI/refind' or '$esp_root/EFI/BOOT'"
fi
refind_conf=$refind_dir/refind.conf

command -v git >/dev/null || fail "git is not installed"

work_dir=$(mktemp -d) || fail "cannot create a temporary folder"
trap 'rm -rf "$work_dir" "$refind_conf.new"' EXIT

# A shallow clone saves the download; git ignores --depth for a local folder and says so.
clone_options=(--quiet)
if [ ! -d "$theme_repo" ]; then
    clone_options+=(--depth 1)
fi
git clone "${clone_options[@]}" "$theme_repo" "$work_dir/$theme_name" ||
    fail "cannot fetch the theme from '$theme_repo'"
rm -rf "$work_dir/$theme_name/.git"

if [ ! -d "$work_dir/$theme_name/icons/128-48" ] || [ ! -f "$work_dir/$theme_name/theme.conf" ]; then
    fail "'$theme_repo' holds no icons/128-48 folder or no theme.conf"
fi

select_variant() {
    awk -v variant="$1" '
        {
            line = $0
            sub(/^[ \t]*#*[ \t]*/, "", line)
            if (line ~ /^(banner|selection_big|selection_small)[ \t]/) {
                look = (line ~ /_dark/) ? "dark" : "light"
                print (look == variant ? line : "#" line)
                next
            }
            print
        }'
}
select_variant "$variant" <"$work_dir/$theme_name/theme.conf" >"$work_dir/theme.conf" ||
    fail "cannot prepare theme.conf"
mv "$work_dir/theme.conf" "$work_dir/$theme_name/theme.conf"

# Copy beside the old theme first, so that a full partition leaves the old theme usable.
themes_dir=$refind_dir/themes
mkdir -p "$themes_dir" || fail "cannot create '$themes_dir'"
rm -rf "$themes_dir/.$theme_name.new"
cp -r "$work_dir/$theme_name" "$themes_dir/.$theme_name.new" ||
    fail "cannot copy the theme to '$themes_dir'"
rm -rf "${themes_dir:?}/$theme_name"
mv "$themes_dir/.$theme_name.new" "$themes_dir/$theme_name" ||
    fail "cannot move the theme into '$themes_dir/$theme_name'"

# Exactly one include line, at the end, so that the theme's settings win and a second run
# leaves the file as the first one did.
awk -v include="$theme_include" '
    {
        line = $0
        sub(/^[ \t]+/, "", line)
        sub(/[ \t\r]+$/, "", line)
        if (line == include) next
        print
    }
    END { print include }' "$refind_conf" >"$refind_conf.new" ||
    fail "cannot rewrite '$refind_conf'"
# A rename within the partition: the configuration is never left half written.
mv "$refind_conf.new" "$refind_conf" || fail "cannot replace '$refind_conf'"

echo "Installed $theme_name ($variant) into '$themes_dir/$theme_name'"
