// A script host's view of the control registered for one user only
// ("regsvr32 /n /i:user"): created by ProgID, converting a Chinese text.
// Prints "converted" and then "done"; "cannot create" with the error when
// the script host does not find the control.
var kivo;
try {
    kivo = new ActiveXObject("KIVO.KIVOCtrl.1");
} catch (e) {
    WScript.Echo("cannot create " + (e.number >>> 0).toString(16));
    WScript.Quit(1);
}
var hair = String.fromCharCode(0x5934, 0x53D1);
var out = kivo.ConvertText(hair, 3, 4);
WScript.Echo(out == String.fromCharCode(0x982D, 0x9AEE) ? "converted" : "wrong " + escape(out));
WScript.Echo("done");
