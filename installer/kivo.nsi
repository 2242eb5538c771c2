; KIVO's installer, one script for both architectures. Each Windows build tree
; compiles it with its own programs through installer/make-installer there:
;
;   makensis -DKIVO_ARCH=32|64 -DKIVO_SOURCE=<repository> -DKIVO_BUILT_OCX=<kivo.ocx>
;            -DKIVO_CPANEL=<kivocp.exe> -DKIVO_TESTER=<kivotester.exe> -DKIVO_CONV=<kivoconv.exe>
;            -DKIVO_LUMBRA_EXE=<lumbra.exe> -DKIVO_HELP=<folder of the .chm files>
;            -DKIVO_ICON=<kivocp.ico> -DKIVO_STANDIN_FILES=<standin-files.nsh>
;            -DKIVO_OUTFILE=<installer.exe> kivo.nsi
;
; standin-files.nsh (made by installer/CMakeLists.txt) names every file of
; the stand-in Lumbra's data, for writing it and for deleting just that.
;
; Optional: -DKIVO_VERSION=x.y.z (three numbers), -DKIVO_OCX=<another control
; file>, -DKIVO_FAST (zlib instead of solid LZMA, for installers built only
; to be run once).
;
; The two installers share one configuration, the product's key in the 32-bit
; registry view, and one mutex, so that they never write it at the same time.
; Each has its own folder, Start-menu folder, uninstaller and uninstall entry,
; and registers its control with the regsvr32 of its own bitness, in its own
; registry view.

Unicode true
!if ${KIVO_ARCH} == 64
  Target amd64-unicode
!endif
!ifdef KIVO_FAST
  SetCompressor zlib
!else
  SetCompressor /SOLID lzma
!endif
; A damaged download is refused before anything is installed.
CRCCheck force
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef KIVO_VERSION
  !define KIVO_VERSION 1.5.0
!endif
!ifndef KIVO_OCX
  !define KIVO_OCX "${KIVO_BUILT_OCX}"
!endif

!define KIVO_SETTINGS "software\Perdix\KIVO\1.5"
!define KIVO_UNINSTALL_ROOT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define KIVO_PANEL_CLASS "Perdix_KIVOCP"
!define KIVO_SETUP_MUTEX "Perdix_KIVO_Setup"
!define KIVO_SITE "http://www.perdix.com.cn"
!define KIVO_ENTRY_KEY "${KIVO_UNINSTALL_ROOT}\${KIVO_ENTRY}"
!if ${KIVO_ARCH} == 64
  !define KIVO_ENTRY "KIVO (64-bit)"
  !define KIVO_OTHER_ENTRY "KIVO"
  !define KIVO_DISPLAY_NAME "KIVO 1.5 (64-bit)"
  !define KIVO_MENU "KIVO (64-bit)"
  !define KIVO_OTHER_VIEW 32
!else
  !define KIVO_ENTRY "KIVO"
  !define KIVO_OTHER_ENTRY "KIVO (64-bit)"
  !define KIVO_DISPLAY_NAME "KIVO 1.5"
  !define KIVO_MENU "KIVO"
  !define KIVO_OTHER_VIEW 64
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh
!include "${KIVO_STANDIN_FILES}"

Name "${KIVO_DISPLAY_NAME}"
OutFile "${KIVO_OUTFILE}"
!if ${KIVO_ARCH} == 64
  InstallDir "$PROGRAMFILES64\Perdix\KIVO"
!else
  InstallDir "$PROGRAMFILES32\Perdix\KIVO"
!endif
; Installing again, or a newer build, goes where the last one went.
InstallDirRegKey HKLM "${KIVO_UNINSTALL_ROOT}\${KIVO_ENTRY}" "InstallLocation"
BrandingText "Perdix ${KIVO_DISPLAY_NAME} ${KIVO_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${KIVO_VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "KIVO"
VIAddVersionKey /LANG=0 "CompanyName" "Perdix"
VIAddVersionKey /LANG=0 "FileDescription" "${KIVO_DISPLAY_NAME} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${KIVO_VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${KIVO_VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Perdix"

!define MUI_ICON "${KIVO_ICON}"
!define MUI_UNICON "${KIVO_ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
; The interface languages of the programs; the system's language chooses.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "TradChinese"

LangString SecKivoName ${LANG_ENGLISH} "KIVO (control, control panel, tester, help)"
LangString SecKivoName ${LANG_SIMPCHINESE} "KIVO（控件、控制面板、测试程序、帮助）"
LangString SecKivoName ${LANG_TRADCHINESE} "KIVO（控制項、控制台、測試程式、說明）"
LangString SecLumbraName ${LANG_ENGLISH} "Lumbra word-adjustment data (stand-in)"
LangString SecLumbraName ${LANG_SIMPCHINESE} "Lumbra 词语调整数据（替代版）"
LangString SecLumbraName ${LANG_TRADCHINESE} "Lumbra 詞語調整資料（替代版）"
LangString SecPurgeName ${LANG_ENGLISH} "Also remove the settings and the Lumbra stand-in"
LangString SecPurgeName ${LANG_SIMPCHINESE} "同时删除设置和 Lumbra 替代版"
LangString SecPurgeName ${LANG_TRADCHINESE} "同時刪除設定和 Lumbra 替代版"
LangString SecRemoveName ${LANG_ENGLISH} "KIVO"
LangString SecRemoveName ${LANG_SIMPCHINESE} "KIVO"
LangString SecRemoveName ${LANG_TRADCHINESE} "KIVO"
LangString MsgSetupRunning ${LANG_ENGLISH} "Another KIVO setup is running. Let it finish, then start this one again."
LangString MsgSetupRunning ${LANG_SIMPCHINESE} "另一个 KIVO 安装程序正在运行。请等它结束后再启动本程序。"
LangString MsgSetupRunning ${LANG_TRADCHINESE} "另一個 KIVO 安裝程式正在執行。請等它結束後再啟動本程式。"
LangString MsgPanelRunning ${LANG_ENGLISH} "The KIVO Control Panel is running. Close it, then choose Retry."
LangString MsgPanelRunning ${LANG_SIMPCHINESE} "KIVO 控制面板正在运行。请关闭它，然后选择“重试”。"
LangString MsgPanelRunning ${LANG_TRADCHINESE} "KIVO 控制台正在執行。請關閉它，然後選擇「重試」。"
LangString MsgPanelStillRunning ${LANG_ENGLISH} "The KIVO Control Panel is still running; nothing was changed."
LangString MsgPanelStillRunning ${LANG_SIMPCHINESE} "KIVO 控制面板仍在运行；未作任何更改。"
LangString MsgPanelStillRunning ${LANG_TRADCHINESE} "KIVO 控制台仍在執行；未作任何變更。"
LangString MsgCannotWrite ${LANG_ENGLISH} "Setup cannot write to $0. Choose a folder you may write to, or run setup as an administrator."
LangString MsgCannotWrite ${LANG_SIMPCHINESE} "安装程序无法写入 $0。请选择可写入的文件夹，或以管理员身份运行安装程序。"
LangString MsgCannotWrite ${LANG_TRADCHINESE} "安裝程式無法寫入 $0。請選擇可寫入的資料夾，或以系統管理員身分執行安裝程式。"
LangString MsgRegisterFailed ${LANG_ENGLISH} "The KIVO control $INSTDIR\kivo.ocx could not be registered (regsvr32 ended with $0). KIVO is not ready for use: run setup again, or remove it from Add/Remove Programs."
LangString MsgRegisterFailed ${LANG_SIMPCHINESE} "无法注册 KIVO 控件 $INSTDIR\kivo.ocx（regsvr32 返回 $0）。KIVO 不能使用：请重新运行安装程序，或在“添加/删除程序”中删除它。"
LangString MsgRegisterFailed ${LANG_TRADCHINESE} "無法登錄 KIVO 控制項 $INSTDIR\kivo.ocx（regsvr32 傳回 $0）。KIVO 無法使用：請重新執行安裝程式，或在「新增/移除程式」中移除它。"
LangString MsgLumbraThere ${LANG_ENGLISH} "A Lumbra installation is in $LumbraFolder already; setup leaves it as it is and installs no stand-in there."
LangString MsgLumbraThere ${LANG_SIMPCHINESE} "$LumbraFolder 中已有 Lumbra 安装；安装程序不改动它，也不在那里安装替代版。"
LangString MsgLumbraThere ${LANG_TRADCHINESE} "$LumbraFolder 中已有 Lumbra 安裝；安裝程式不變更它，也不在那裡安裝替代版。"
LangString MsgKeptShared ${LANG_ENGLISH} "Another KIVO installation uses the settings and the Lumbra stand-in; they are kept."
LangString MsgKeptShared ${LANG_SIMPCHINESE} "另一个 KIVO 安装仍在使用这些设置和 Lumbra 替代版，已保留。"
LangString MsgKeptShared ${LANG_TRADCHINESE} "另一個 KIVO 安裝仍在使用這些設定和 Lumbra 替代版，已保留。"
LangString LinkPanel ${LANG_ENGLISH} "KIVO Control Panel"
LangString LinkPanel ${LANG_SIMPCHINESE} "KIVO 控制面板"
LangString LinkPanel ${LANG_TRADCHINESE} "KIVO 控制台"
LangString LinkTester ${LANG_ENGLISH} "KIVO Tester"
LangString LinkTester ${LANG_SIMPCHINESE} "KIVO 测试程序"
LangString LinkTester ${LANG_TRADCHINESE} "KIVO 測試程式"
LangString LinkHelp ${LANG_ENGLISH} "KIVO Help"
LangString LinkHelp ${LANG_SIMPCHINESE} "KIVO 帮助"
LangString LinkHelp ${LANG_TRADCHINESE} "KIVO 說明"
LangString LinkUninstall ${LANG_ENGLISH} "Uninstall ${KIVO_DISPLAY_NAME}"
LangString LinkUninstall ${LANG_SIMPCHINESE} "卸载 ${KIVO_DISPLAY_NAME}"
LangString LinkUninstall ${LANG_TRADCHINESE} "解除安裝 ${KIVO_DISPLAY_NAME}"
; The help file of the installer's language, as the control panel picks it.
LangString HelpFile ${LANG_ENGLISH} "kivo.chm"
LangString HelpFile ${LANG_SIMPCHINESE} "kivop.chm"
LangString HelpFile ${LANG_TRADCHINESE} "kivoc.chm"

Var LumbraFolder
; Where an earlier installation of this architecture is, "" for a first one.
Var PreviousFolder

; The product's settings live in the 32-bit view for the programs of both
; architectures. A 32-bit installer is there already (and Windows before XP
; knows no view flags), so only the 64-bit one switches.
!macro SettingsView
  !if ${KIVO_ARCH} == 64
    SetRegView 32
  !endif
!macroend
!macro OwnView
  !if ${KIVO_ARCH} == 64
    SetRegView default
  !endif
!macroend

; The folder of the other architecture's installation, or "" when there is none.
!macro OtherInstallation un
Function ${un}OtherInstallation
  Push $0
  StrCpy $0 ""
  ${If} ${RunningX64}
    SetRegView ${KIVO_OTHER_VIEW}
    ReadRegStr $0 HKLM "${KIVO_UNINSTALL_ROOT}\${KIVO_OTHER_ENTRY}" "InstallLocation"
    SetRegView default
    ${IfNot} ${FileExists} "$0\kivo.ocx"
      StrCpy $0 ""
    ${EndIf}
  ${EndIf}
  Exch $0
FunctionEnd
!macroend
!insertmacro OtherInstallation ""
!insertmacro OtherInstallation "un."

; One setup at a time, whichever architecture: both write the one configuration.
!macro TakeSetupMutex
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "${KIVO_SETUP_MUTEX}") p .r0 ?e'
  Pop $1
  ${If} $1 = 183  ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONSTOP "$(MsgSetupRunning)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

; The control panel holds its program and help files open and writes the
; settings when it ends: files are replaced or removed only after it has
; gone. Asked for in a window; a silent run waits up to a minute.
!macro WaitForControlPanel un
Function ${un}WaitForControlPanel
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${KIVO_PANEL_CLASS}"
    ${If} $0 = 0
      Return
    ${EndIf}
    ${If} ${Silent}
      ${If} $1 >= 120
        DetailPrint "$(MsgPanelStillRunning)"
        SetErrorLevel 2
        Abort "$(MsgPanelStillRunning)"
      ${EndIf}
      IntOp $1 $1 + 1
      Sleep 500
    ${Else}
      ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(MsgPanelRunning)" IDCANCEL`
        SetErrorLevel 2
        Abort "$(MsgPanelStillRunning)"
      ${EndIf}
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitForControlPanel ""
!insertmacro WaitForControlPanel "un."

; What an installation leaves in the system: the control's registration,
; its files, its links, the panel's path and its uninstall entry. Removed by
; the uninstaller, and by a first installation that fails.
!macro RemoveInstallation un
  ${If} ${FileExists} "$INSTDIR\kivo.ocx"
    ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\kivo.ocx"' $0
    ${If} $0 != 0
      DetailPrint "regsvr32 /u $INSTDIR\kivo.ocx: $0"
    ${EndIf}
  ${EndIf}
  ; The control's ProgIDs are one key for both registry views, and went with
  ; this registration: the other architecture's control registers again.
  Call ${un}OtherInstallation
  Pop $1
  ${If} $1 != ""
    !if ${KIVO_ARCH} == 64
      ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /s "$1\kivo.ocx"' $0
    !else
      ${DisableX64FSRedirection}
      ExecWait '"$SYSDIR\regsvr32.exe" /s "$1\kivo.ocx"' $0
      ${EnableX64FSRedirection}
    !endif
    ${If} $0 != 0
      DetailPrint "regsvr32 $1\kivo.ocx: $0"
    ${EndIf}
  ${EndIf}

  Delete /REBOOTOK "$INSTDIR\kivo.ocx"
  Delete "$INSTDIR\kivocp.exe"
  Delete "$INSTDIR\kivotester.exe"
  Delete "$INSTDIR\kivoconv.exe"
  Delete "$INSTDIR\kivo.chm"
  Delete "$INSTDIR\kivop.chm"
  Delete "$INSTDIR\kivoc.chm"
  Delete "$INSTDIR\kivoprc.chm"
  Delete "$INSTDIR\NOTICE.txt"
  ; What the programs make beside themselves: the files they leave in the
  ; work folder (the control's transfer files and deciphered libraries, the
  ; update checker's partial downloads), then that folder and the
  ; configuration folder while nothing else is in them. An installation
  ; into a folder of the user's own may have found a "temp" there.
  Delete "$INSTDIR\temp\*.tps"
  Delete "$INSTDIR\temp\*.download"
  Delete "$INSTDIR\temp\temp*.tmp"
  RMDir "$INSTDIR\temp"
  RMDir "$INSTDIR\config"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
  RMDir "$0"

  Delete "$SMPROGRAMS\${KIVO_MENU}\*.lnk"
  RMDir "$SMPROGRAMS\${KIVO_MENU}"

  ; The panel's path names the other architecture's panel when one is left.
  !insertmacro SettingsView
  ReadRegStr $0 HKLM "${KIVO_SETTINGS}\App" "Path"
  !insertmacro OwnView
  ${If} $0 == "$INSTDIR\kivocp.exe"
    Call ${un}OtherInstallation
    Pop $1
    !insertmacro SettingsView
    ${If} $1 != ""
      WriteRegStr HKLM "${KIVO_SETTINGS}\App" "Path" "$1\kivocp.exe"
    ${Else}
      DeleteRegValue HKLM "${KIVO_SETTINGS}\App" "Path"
      DeleteRegKey /ifempty HKLM "${KIVO_SETTINGS}\App"
    ${EndIf}
    !insertmacro OwnView
  ${EndIf}

  DeleteRegKey HKLM "${KIVO_ENTRY_KEY}"
!macroend

; Ends a failed installation with the message on the stack; .onInstFailed
; then takes a first installation away again.
Function AbortInstall
  Exch $R9
  DetailPrint "$R9"
  MessageBox MB_OK|MB_ICONSTOP "$R9" /SD IDOK
  SetErrorLevel 2
  Abort "$R9"
FunctionEnd

; Stops with the message when $0 cannot be written: a read-only or foreign
; folder, or a file in the way. File alone would skip what it cannot write
; in a silent run and the setup would end as if it had succeeded.
Function CheckWritable
  ClearErrors
  CreateDirectory "$0"
  FileOpen $1 "$0\kivo-setup.tmp" w
  ${If} ${Errors}
    Push "$(MsgCannotWrite)"
    Call AbortInstall
  ${EndIf}
  FileClose $1
  Delete "$0\kivo-setup.tmp"
FunctionEnd

Function StopOnWriteErrors
  ${If} ${Errors}
    Push "$(MsgCannotWrite)"
    Call AbortInstall
  ${EndIf}
FunctionEnd

Section "$(SecKivoName)" SecKivo
  SectionIn RO
  Call WaitForControlPanel
  StrCpy $0 "$INSTDIR"
  Call CheckWritable

  SetOutPath "$INSTDIR"
  SetOverwrite on
  AllowSkipFiles off
  ClearErrors
  File "/oname=kivo.ocx" "${KIVO_OCX}"
  File "${KIVO_CPANEL}"
  File "${KIVO_TESTER}"
  File "${KIVO_CONV}"
  File "${KIVO_HELP}/kivo.chm"
  File "${KIVO_HELP}/kivop.chm"
  File "${KIVO_HELP}/kivoc.chm"
  File "${KIVO_HELP}/kivoprc.chm"
  File "/oname=NOTICE.txt" "${KIVO_SOURCE}/NOTICE"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  Call StopOnWriteErrors

  ; The control panel writes its own path at every start; until it first
  ; runs, the installed one is the one to find.
  !insertmacro SettingsView
  WriteRegStr HKLM "${KIVO_SETTINGS}\App" "Path" "$INSTDIR\kivocp.exe"
  !insertmacro OwnView

  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "DisplayName" "${KIVO_DISPLAY_NAME}"
  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "DisplayVersion" "${KIVO_VERSION}"
  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "Publisher" "Perdix"
  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "DisplayIcon" "$INSTDIR\kivocp.exe,0"
  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "URLInfoAbout" "${KIVO_SITE}/kivo"
  WriteRegStr HKLM "${KIVO_ENTRY_KEY}" "HelpLink" "${KIVO_SITE}/kivo/help/english/index.html"
  WriteRegDWORD HKLM "${KIVO_ENTRY_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KIVO_ENTRY_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${KIVO_ENTRY_KEY}" "EstimatedSize" $0

  ; The regsvr32 of this installer's bitness: the 64-bit setup runs the
  ; system's own, the 32-bit setup the 32-bit one the system redirects it to.
  ExecWait '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\kivo.ocx"' $0
  ${If} $0 != 0
    Push "$(MsgRegisterFailed)"
    Call AbortInstall
  ${EndIf}

  ; The links come last: under Wine the process that made them keeps the
  ; folder of their working directory open, and a failure before them
  ; removes that folder again.
  ; Links of an earlier install in another language go too.
  Delete "$SMPROGRAMS\${KIVO_MENU}\*.lnk"
  CreateDirectory "$SMPROGRAMS\${KIVO_MENU}"
  CreateShortCut "$SMPROGRAMS\${KIVO_MENU}\$(LinkPanel).lnk" "$INSTDIR\kivocp.exe"
  CreateShortCut "$SMPROGRAMS\${KIVO_MENU}\$(LinkTester).lnk" "$INSTDIR\kivotester.exe"
  CreateShortCut "$SMPROGRAMS\${KIVO_MENU}\$(LinkHelp).lnk" "$INSTDIR\$(HelpFile)"
  CreateShortCut "$SMPROGRAMS\${KIVO_MENU}\$(LinkUninstall).lnk" "$INSTDIR\uninstall.exe"
SectionEnd

; Where the stand-in goes: "Lumbra" beside KIVO's folder, which is where
; the vendor's own Lumbra installs itself too.
Function StandInFolder
  ${GetParent} "$INSTDIR" $0
  StrCpy $LumbraFolder "$0\Lumbra"
FunctionEnd

; The stand-in Lumbra beside KIVO's folder: its data and its program, which
; takes the installation from its own folder. Chosen by default only when no
; Lumbra is configured and none is in that folder (.onInit). It goes only
; into a folder setup makes itself: a folder there already may be a real
; Lumbra with the user's own catalogues and libraries, and is left alone.
Section "$(SecLumbraName)" SecLumbra
  Call StandInFolder
  ${If} ${FileExists} "$LumbraFolder\*.*"
  ${OrIf} ${FileExists} "$LumbraFolder"
    DetailPrint "$(MsgLumbraThere)"
    Return
  ${EndIf}
  StrCpy $0 "$LumbraFolder"
  Call CheckWritable
  ClearErrors
  !insertmacro WriteStandInData "$LumbraFolder"
  SetOutPath "$LumbraFolder"
  File "${KIVO_LUMBRA_EXE}"
  Call StopOnWriteErrors
  !insertmacro SettingsView
  WriteRegStr HKLM "${KIVO_SETTINGS}\Path" "Lumbra Root Folder" "$LumbraFolder"
  WriteRegStr HKLM "${KIVO_SETTINGS}\Path" "Lumbra Exe Path" "$LumbraFolder\lumbra.exe"
  ; Which folder setup made, so that removing the settings can remove it too.
  WriteRegStr HKLM "${KIVO_SETTINGS}\Setup" "Lumbra Stand-in" "$LumbraFolder"
  !insertmacro OwnView
SectionEnd

; A first installation that fails leaves nothing behind. Over an earlier
; one the files stay with its entry, and the message has said to run setup
; again.
Function .onInstFailed
  ${If} $PreviousFolder == ""
    ; The folder being removed must not be the current one.
    SetOutPath "$TEMP"
    !insertmacro RemoveInstallation ""
  ${EndIf}
FunctionEnd

Function .onInit
  !insertmacro TakeSetupMutex
  SetShellVarContext all
  ReadRegStr $PreviousFolder HKLM "${KIVO_ENTRY_KEY}" "InstallLocation"
  !insertmacro SettingsView
  ReadRegStr $0 HKLM "${KIVO_SETTINGS}\Path" "Lumbra Root Folder"
  !insertmacro OwnView
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\*.*"
    !insertmacro UnselectSection ${SecLumbra}
  ${EndIf}
  ; A Lumbra where the stand-in would go, configured or not.
  Call StandInFolder
  ${If} ${FileExists} "$LumbraFolder\*.*"
  ${OrIf} ${FileExists} "$LumbraFolder\lumbra.exe"
    !insertmacro UnselectSection ${SecLumbra}
  ${EndIf}
FunctionEnd

; Uninstalling ----------------------------------------------------------------

Section "un.$(SecRemoveName)" SecRemove
  SectionIn RO
  Call un.WaitForControlPanel
  SetShellVarContext all

  !insertmacro RemoveInstallation un.
  ; The control's cache of deciphered libraries for the user who removes it:
  ; derived from the libraries, and made again by any control that needs it.
  SetShellVarContext current
  Delete "$LOCALAPPDATA\Perdix\KIVO\Cache\*.wac"
  RMDir "$LOCALAPPDATA\Perdix\KIVO\Cache"
  RMDir "$LOCALAPPDATA\Perdix\KIVO"
  RMDir "$LOCALAPPDATA\Perdix"
  SetShellVarContext all
SectionEnd

; The settings (Lumbra's folder, language; the user's colours, recent files) and the
; stand-in Lumbra, whose libraries the user may have edited, stay unless
; asked for (this component, or /PURGE on the command line), and as long as
; the other architecture's installation still uses them.
Section /o "un.$(SecPurgeName)" SecPurge
  Call un.OtherInstallation
  Pop $0
  ${If} $0 != ""
    DetailPrint "$(MsgKeptShared)"
    Return
  ${EndIf}
  !insertmacro SettingsView
  ReadRegStr $0 HKLM "${KIVO_SETTINGS}\Setup" "Lumbra Stand-in"
  DeleteRegKey HKLM "${KIVO_SETTINGS}"
  ; And what the control panel kept for the user who removes it (colours,
  ; recent files, folders, the update check's dates).
  DeleteRegKey HKCU "${KIVO_SETTINGS}"
  !insertmacro OwnView
  ; Only a folder that still holds the stand-in (the value is a path anyone
  ; with the rights could have changed), and of it only the files setup
  ; wrote: libraries the user added stay, and the folders that hold them.
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\lumbra.exe"
  ${AndIf} ${FileExists} "$0\config\wag2b.ini"
    !insertmacro DeleteStandInData "$0"
    Delete "$0\lumbra.exe"
    RMDir "$0"
    ${GetParent} "$0" $1
    RMDir "$1"
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro TakeSetupMutex
  SetShellVarContext all
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPurge}
  ${EndIf}
FunctionEnd
