// Exit.js: runs as the window closes, and saves the user's setup.
//
// It writes the settings listed below, the speed trim, the display mode and
// the window's placement to Settings.ini in the script folder; System.js
// puts them back at the next start. Add a key to the list to keep it too;
// delete this file and every start begins at the defaults again.
//
// The file is an INI text in UTF-8, written through the program's own
// codec (Main.PutStrText):
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
// Placement is in twips (15 a pixel), as Main.Left, Main.Top, Main.Width and
// Main.Height give it; a maximized window keeps only its state.

var keys = ["Caption", "Color", "FontSize", "Pixel", "FontFamily", "Weight", "Shadow", "Sorting", "English",
            "MsgOut", "Path"];
var file = Main.ScriptPath + "Settings.ini";

var config = Main.Config;
var lines = ["[Config]"];
for (var i = 0; i < keys.length; i++) {
    var value = config(keys[i]);
    if (typeof value === "boolean") value = value ? "True" : "False";
    // One line per key: line breaks in a value would start a new key.
    lines.push(keys[i] + "=" + String(value === undefined || value === null ? "" : value).replace(/[\r\n]+/g, " "));
}

lines.push("[Window]");
// A minimized window comes back shown normally, where it was before (its
// edges stay those of the window shown normally).
var state = Main.WindowState === 2 ? 2 : 0;
if (state === 0) {
    lines.push("Left=" + Math.round(Main.Left), "Top=" + Math.round(Main.Top),
               "Width=" + Math.round(Main.Width), "Height=" + Math.round(Main.Height));
}
lines.push("WindowState=" + state, "Mode=" + (((Main.Mode % 3) + 3) % 3), "MSID=" + Main.MSID);

Main.PutStrText(file, lines.join("\r\n") + "\r\n", "UTF-8");
