# Sourced by the scripts that start the uninstaller. fake_install BUILD_DIR lays out, in
# $WINEPREFIX, what the installer would leave: the install folder "C:\Program
# Files\tallyhive" with uninstall.exe, tallyhive.exe and uninstall.dat, a desktop
# shortcut, the start-menu folder and shortcuts, and the two registry keys. It sets
# install, desktop and programs (Unix paths) for the caller.
fake_install() {
  local build=$1 c=$WINEPREFIX/drive_c
  install="$c/Program Files/tallyhive"
  desktop=$(wine_apart winepath -u "$(wine_apart wine cmd /c 'echo %USERPROFILE%\Desktop' 2>/dev/null | tr -d '\r')")
  programs="$c/ProgramData/Microsoft/Windows/Start Menu/Programs"
  # A copied prefix may link its desktop to a folder that went with the prefix's first HOME.
  [ -L "$desktop" ] && [ ! -e "$desktop" ] && rm "$desktop"
  mkdir -p "$install/data" "$install/.dotdir" "$desktop" "$programs/tallyhive"
  cp "$build/uninstall/uninstall.exe" "$install/"
  cp "$build/client/tallyhive.exe" "$install/" 2>/dev/null || true
  touch "$install/data/readme.txt" "$install/.keep" "$desktop/tallyhive.lnk" \
    "$programs/tallyhive/tallyhive.lnk" "$programs/tallyhive uninstall.lnk"
  printf '[uninstall]\r\ninstall_reg_name=tallyhive\r\ninstall_path=C:\\Program Files\\tallyhive\r\nuninstall_name=tallyhive uninstall\r\ninstall_exe_name=tallyhive.exe\r\n' \
    >"$install/uninstall.dat"
  wine_apart wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\tallyhive' /v DisplayName /d tallyhive /f >/dev/null 2>&1
  wine_apart wine reg add 'HKCU\Software\tallyhive' /f >/dev/null 2>&1
}
