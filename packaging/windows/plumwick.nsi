; The PLUMWICK installer. scripts/build-windows.sh runs makensis with
;   -DVERSION=1.0.0 -DSTAGE=<the installed folder> -DOUTFILE=<setup.exe>
;   -DICON=<plumwick.ico> -DFILES=<files.nsh> -DREMOVE=<remove.nsh>
;   -DSIZE_KB=<the installed files' size>
; where files.nsh holds a File line for each file of the folder and remove.nsh
; a Delete for each file and an RMDir for each subfolder, deepest first: the
; uninstaller removes exactly what the installer put there, and a folder
; holding anything else (a player's own file) stays.
; `setup.exe /S` installs silently (`/D=C:\Folder` elsewhere), `uninstall.exe
; /S` removes silently; both stop with status 2 while the game runs.

Target amd64-unicode
SetCompressor /SOLID lzma
; The installed files' times are those of the install, not of the build:
; the same sources give the same installer.
SetDateSave off
ManifestDPIAware true

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PLUMWICK"

Name "PLUMWICK ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\PLUMWICK"
; A second install goes where the first one went.
InstallDirRegKey HKLM "${KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "PLUMWICK"
VIAddVersionKey /LANG=1033 "FileDescription" "PLUMWICK ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The PLUMWICK developers; zlib licence"

!define RUNNING_TEXT "PLUMWICK is running. Close the game, then choose Retry."

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext all
    SetRegView 64
    ; The install this game's entry names goes first, through its own
    ; uninstaller run in place (_?=): files an older version had and this one
    ; has not are not left behind, and the entry stays one. While the game
    ; runs, that uninstaller refuses (status 2), and so does this installer.
    ReadRegStr $1 HKLM "${KEY}" "InstallLocation"
    StrCmp $1 "" fresh
    IfFileExists "$1\uninstall.exe" 0 fresh
    ClearErrors
    ExecWait '"$1\uninstall.exe" /S _?=$1' $2
    IfErrors 0 +2
    StrCpy $2 "none"
    StrCmp $2 0 removed
    MessageBox MB_OK|MB_ICONSTOP "The PLUMWICK in $1 could not be removed first (status $2): close the game if it runs, then install again." /SD IDOK
    SetErrorLevel 2
    Quit
    removed:
    Delete "$1\uninstall.exe"
    RMDir "$1"
    fresh:
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut starts the game in $INSTDIR, the out path at this point.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\PLUMWICK.lnk" "$INSTDIR\plumwick.exe" "" "$INSTDIR\plumwick.exe" 0
    ; Apps & features
    WriteRegStr HKLM "${KEY}" "DisplayName" "PLUMWICK"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY}" "Publisher" "The PLUMWICK developers"
    WriteRegStr HKLM "${KEY}" "DisplayIcon" "$\"$INSTDIR\plumwick.exe$\""
    WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
    WriteRegStr HKLM "${KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    ; A running game holds plumwick.exe open for writing, on Windows and under
    ; Wine alike: nothing is touched until the player closes it. Silently, or
    ; when the player cancels, this stops with status 2.
    game_retry:
    IfFileExists "$INSTDIR\plumwick.exe" 0 game_closed
    ClearErrors
    FileOpen $0 "$INSTDIR\plumwick.exe" a
    IfErrors 0 game_open
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${RUNNING_TEXT}" /SD IDCANCEL IDRETRY game_retry
    SetErrorLevel 2
    Quit
    game_open:
    FileClose $0
    game_closed:
    Delete "$SMPROGRAMS\PLUMWICK.lnk"
    !include "${REMOVE}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${KEY}"
SectionEnd
