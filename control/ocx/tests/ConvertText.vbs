' A script host's view of the control: registered by regsvr32, created by
' ProgID, ConvertText called with script values (strings and plain numbers,
' which arrive as VT_I4), a bad code raising an error. The text stays ASCII:
' Wine's cscript reads scripts in the ANSI code page and has no ChrW, so the
' Chinese cases are in the C++ host test. A script error ends Wine's cscript
' silently with status 0, hence the closing "done" the driver looks for.
Dim kivo, failures, result
failures = 0
Set kivo = CreateObject("KIVO.KIVOCtrl.1")

Function Check(label, ok)
    If ok Then
        WScript.Echo "ok " & label
    Else
        WScript.Echo "FAILED " & label
        failures = failures + 1
    End If
End Function

result = kivo.ConvertText("KIVO 1.5", 0, 1)
Check "ASCII passes unchanged", (result = "KIVO 1.5")
result = kivo.ConvertText("", 3, 4)
Check "empty text", (result = "")

On Error Resume Next
result = kivo.ConvertText("abc", 0, 9)
Check "bad code raises an error", (Err.Number <> 0)
Err.Clear
On Error Goto 0

WScript.Echo "done"
WScript.Quit failures
