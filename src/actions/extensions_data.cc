#include "actions/extensions_data.h"

// What a layout sets (the extension list, the panel's size and padding, the dock's side) comes
// from the layout alone: an earlier value that the layout replaced at once made every later
// pass load both again. Transparent Top Bar keeps its settings outside org/gnome, so a reset
// of org/gnome leaves its transparency in place. ArcMenu, compiz-windows-effect, ding,
// netspeedsimplified, order-icons, status-area-horizontal-spacing, system-monitor and
// dash-to-dock are set up here although no layout enables them, so they look right once the
// user turns them on.
const std::string_view extensions_payload = R"dconf(
[org/gnome/shell]
disabled-extensions=@as []
welcome-dialog-last-shown-version='43.0'

[com/ftpix/transparentbar]
transparency=70

[org/gnome/shell/extensions/arcmenu]
activate-on-hover=true
application-shortcuts-list=[['Software', '', 'ArcMenu_Software'], ['Settings', 'org.gnome.Settings', 'org.gnome.Settings.desktop'], ['Terminal', 'org.gnome.Terminal', 'org.gnome.Terminal.desktop'], ['Tweaks', 'org.gnome.tweaks', 'org.gnome.tweaks.desktop'], ['Activities Overview', 'view-fullscreen-symbolic', 'ArcMenu_ActivitiesOverview']]
brisk-shortcuts-list=['Software', 'synaptic', 'synaptic.desktop', 'Settings', 'org.gnome.Settings', 'org.gnome.Settings.desktop']
button-item-icon-size='Small'
category-icon-type='Full_Color'
left-panel-width=300
menu-background-color='rgba(28,28,28,0.98)'
menu-border-color='rgb(63,62,64)'
menu-border-radius=10
menu-button-appearance='Icon'
menu-foreground-color='rgb(211,218,227)'
menu-height=550
menu-item-active-bg-color='rgba(228,228,226,0.15)'
menu-item-active-fg-color='rgb(255,255,255)'
menu-item-category-icon-size='Small'
menu-item-hover-bg-color='rgba(238,238,236,0.08)'
menu-item-hover-fg-color='rgb(255,255,255)'
menu-item-icon-size='Medium'
menu-layout='Brisk'
menu-separator-color='rgb(63,62,64)'
multi-monitor=false
override-menu-theme=true
pinned-app-list=['Files', '', 'org.gnome.Nautilus.desktop', 'Terminal', '', 'org.gnome.Terminal.desktop', 'ArcMenu Settings', 'ArcMenu_ArcMenuIcon', 'gnome-extensions prefs arcmenu@arcmenu.com']
power-display-style='Menu'
power-options=[(0, true), (1, true), (4, true), (3, true), (2, true), (5, true), (6, true)]
prefs-visible-page=0
recently-installed-apps=@as []
right-panel-width=250
searchbar-default-top-location='Top'
shortcut-icon-type='Full_Color'
vert-separator=true

[org/gnome/shell/extensions/appindicator]
icon-size=22
tray-pos='right'

[org/gnome/shell/extensions/caffeine]
restore-state=true
user-enabled=true

[org/gnome/shell/extensions/com/github/hermes83/compiz-windows-effect]
friction=3.5
resize-effect=false
speedup-factor-divider=7.0
spring-k=10.0

[org/gnome/shell/extensions/custom-hot-corners-extended/misc]
show-osd-monitor-indexes=false

[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-bottom-left-0]
action='show-applications'
barrier-size-h=1
barrier-size-v=10
fullscreen=false

[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-bottom-left-6]
ctrl=true

[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-bottom-right-0]
action='show-desktop-mon'

[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-bottom-right-6]
ctrl=true

[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-top-left-0]
action='toggle-overview'

[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-top-left-6]
ctrl=true

[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-top-right-0]
action='run-command'
command='guake-toggle'

[org/gnome/shell/extensions/custom-hot-corners-extended/monitor-0-top-right-6]
ctrl=true

[org/gnome/shell/extensions/dash-to-panel]
animate-appicon-hover-animation-extent={'RIPPLE': 4, 'PLANK': 4, 'SIMPLE': 1}
available-monitors=[0]
hide-overview-on-startup=true
hotkeys-overlay-combo='TEMPORARILY'
leftbox-padding=-1
panel-anchors='{"0":"MIDDLE"}'
panel-lengths='{"0":100}'
primary-monitor=0
show-appmenu=false
status-icon-padding=8
stockgs-force-hotcorner=true
trans-dynamic-anim-target=1.0
trans-panel-opacity=0.80000000000000004
trans-use-custom-opacity=true
trans-use-dynamic-opacity=true
tray-padding=4
tray-size=0
window-preview-title-position='TOP'
show-showdesktop-delay=1000
show-showdesktop-hover=true
showdesktop-button-width=15
dot-style-focused='SEGMENTED'
dot-style-unfocused='SEGMENTED'

[org/gnome/shell/extensions/dash-to-dock]
background-opacity=1.0
click-action='focus-minimize-or-previews'
customize-alphas=true
dash-max-icon-size=22
dock-fixed=true
max-alpha=1.0
min-alpha=0.9
running-indicator-style='DOTS'
show-mounts=false
show-mounts-network=false
show-mounts-only-mounted=true
show-trash=false
transparency-mode='DYNAMIC'

[org/gnome/shell/extensions/ding]
icon-size='small'
show-home=true
start-corner='top-left'

[org/gnome/shell/extensions/extension-list]
button-icon=uint32 0
hide-disabled=false

[org/gnome/shell/extensions/net/gfxmonk/impatience]
speed-factor=0.5

[org/gnome/shell/extensions/netspeedsimplified]
chooseiconset=2
dscolor='rgb(143,240,164)'
fontmode=1
hideindicator=false
iconstoright=true
isvertical=true
limitunit=2
lockmouseactions=true
minwidth=3.0
mode=3
restartextension=false
reverseindicators=true
shortenunits=true
systemcolr=false
textalign=0
togglebool=false
uscolor='rgb(249,240,107)'
wpos=0
wposext=0

[org/gnome/shell/extensions/order-icons]
order-icons-center=['dateMenu', 'ShowNetSpeedButton']
order-icons-left=['livepatch', 'software-update-available', 'variety', '_Build', '_Project', '_Document', 'Help', 'Tools', 'Cloud', 'Workspace', 'Go', 'View', 'Edit', 'File', '_Documents', '_Search', '_Bookmarks', '_Go', '_Help', 'Profiles', '_Tools', 'Hi_story', '_View', '_Edit', '_File', 'activities', 'apps-menu', 'appMenu']
order-icons-right=['ShowNetSpeedButton', 'livepatch', 'software-update-available', 'workspace-indicator', 'system-monitor', 'drive-menu', 'Caffeine', 'extension-list@tu.berry', 'aggregateMenu', 'keyboard', 'a11y', 'dwellClick', 'screenRecording', 'quickSettings']

[org/gnome/shell/extensions/status-area-horizontal-spacing]
hpadding=3

[org/gnome/shell/extensions/system-monitor]
center-display=false
compact-display=false
cpu-graph-width=50
cpu-show-text=false
disk-display=true
disk-graph-width=50
disk-show-text=false
disk-usage-style='bar'
fan-show-menu=false
icon-display=false
memory-graph-width=50
memory-show-text=false
move-clock=false
net-graph-width=50
net-show-text=false
swap-show-menu=false
thermal-show-menu=false

[org/gnome/shell/extensions/tophat]
cpu-show-cores=true
position-in-panel='center'
show-icons=false
)dconf";
