// A script host of the installed control: created by its ProgID, ConvertText
// with Unicode text both ways. The characters travel as code units, since
// Wine's cscript reads scripts and writes output in the ANSI code page.
// A script error ends Wine's cscript silently with status 0, hence the
// closing "done" the test looks for.
var kivo = new ActiveXObject("KIVO.KIVOCtrl.1");

function Units(text) {
    var units = [];
    for (var i = 0; i < text.length; i++)
        units.push(text.charCodeAt(i).toString(16));
    return units.join(" ");
}

// 发 to 發 (simplified to traditional), 體 to 体 (traditional to simplified).
WScript.Echo("s2t " + Units(kivo.ConvertText(String.fromCharCode(0x53d1), 3, 4)));
WScript.Echo("t2s " + Units(kivo.ConvertText(String.fromCharCode(0x9ad4), 4, 3)));
WScript.Echo("done");
