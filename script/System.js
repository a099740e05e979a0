// System.js: runs at every start, after the page is written.
//
// Sorvane keeps no settings of its own between runs: every start begins at
// the defaults. This script reads the setup that Exit.js saved in
// Settings.ini (script folder) as the window last closed, if there is such a
// file: the settings go into Main.Config and restyle the page; the window's
// placement, display mode and speed trim are set again.
//
// The file is an INI text:
//
//     [Config]
//     Color=#ff8800
//     FontSize=30
//     Shadow=True
//     [Window]
//     Left=4800
//     Top=12000
//     Width=11760
//     Height=1530
//     WindowState=0
//     Mode=2
//     MSID=-3
//
// In [Config] a value takes the kind of the setting it replaces: a number
// for a number ("FontSize"), True or False for a switch ("Shadow"), else
// text. In [Window] every value is a whole number. Lines that are not
// key=value, and a value that is no number where a number belongs, are
// passed over. A window placed on a screen that is gone is brought onto one
// that is there by the program after this script.

var file = Main.ScriptPath + "Settings.ini";
var fso = new ActiveXObject("Scripting.FileSystemObject");

if (fso.FileExists(file)) {
    var config = Main.Config;
    // Reading with a named character set records it as the last one read;
    // the subtitle file's own stays recorded.
    var charSet = config("CharSet");
    var text = String(Main.GetStrText(file, "UTF-8")).replace(/^\uFEFF/, "");
    config("CharSet", charSet);

    var lines = text.split(/\r\n?|\n/);
    var section = "";
    var weightSaved = false;
    var place = {};
    for (var i = 0; i < lines.length; i++) {
        var line = lines[i].replace(/^\s+|\s+$/g, "");
        var heading = /^\[(.*)\]$/.exec(line);
        if (heading) { section = heading[1].toLowerCase(); continue; }
        var eq = line.indexOf("=");
        if (eq <= 0) continue;
        var key = line.slice(0, eq).replace(/\s+$/, "");
        var value = line.slice(eq + 1).replace(/^\s+/, "");
        if (section === "window") {
            // A number the window cannot take (too many digits) is passed over.
            if (/^-?\d{1,9}$/.test(value)) place[key.toLowerCase()] = Number(value);
            continue;
        }
        if (section !== "config") continue;
        var current = config(key);
        if (typeof current === "number") {
            if (!/^-?\d+(\.\d+)?$/.test(value)) continue;
            value = Number(value);
        } else if (typeof current === "boolean") {
            value = /^(true|1|yes)$/i.test(value);
        }
        config(key, value);
        if (key === "Weight") weightSaved = true;
    }

    // The cue's style from the settings: glow, family, size and colour,
    // then a saved weight (SetTextShadow drops it); the check marks follow.
    var shadow = config("Shadow") === true;
    Main.SetTextShadow(shadow);
    Main.OnShadow.Checked = shadow;
    if (weightSaved) Main.SetFontWeight(config("Weight"));
    Main.OnSorting.Checked = config("Sorting") === true;

    // The window: the display mode (the program shows the mode left in
    // Main.Mode once this script ends), its size and place (unless it was
    // maximized), and the speed trim.
    if (place.mode === 1 || place.mode === 2) Main.Mode = place.mode;
    if (place.windowstate === 2) {
        Main.WindowState = 2;
    } else if ("left" in place && "top" in place && "width" in place && "height" in place) {
        Main.Width = place.width;
        Main.Height = place.height;
        Main.Left = place.left;
        Main.Top = place.top;
    }
    if ("msid" in place && place.msid !== 0) Main.SetMsIndex(Math.max(-50, Math.min(50, place.msid)));
}
