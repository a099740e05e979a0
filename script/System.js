// System.js: runs at every start, after the page is written.
//
// Sorvane keeps no settings of its own between runs: every start begins at
// the defaults. This script reads the settings that Script.js saved in
// Settings.ini (script folder), if there is such a file, puts them into
// Main.Config and restyles the page with them.
//
// The file is an INI text:
//
//     [Config]
//     Color=#ff8800
//     FontSize=30
//     Shadow=True
//
// A value takes the kind of the setting it replaces: a number for a number
// ("FontSize"), True or False for a switch ("Shadow"), else text. Lines that
// are not key=value, and a value that is no number where a number belongs,
// are passed over.

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
    var inConfig = false;
    var weightSaved = false;
    for (var i = 0; i < lines.length; i++) {
        var line = lines[i].replace(/^\s+|\s+$/g, "");
        var section = /^\[(.*)\]$/.exec(line);
        if (section) { inConfig = section[1].toLowerCase() === "config"; continue; }
        var eq = line.indexOf("=");
        if (!inConfig || eq <= 0) continue;
        var key = line.slice(0, eq).replace(/\s+$/, "");
        var value = line.slice(eq + 1).replace(/^\s+/, "");
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
}
