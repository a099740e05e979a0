// Script.js: saves the current settings (menu 程序设置 › 执行脚本 › Script.js).
//
// Sorvane itself keeps no settings between runs. This script writes the
// settings listed below to Settings.ini in the script folder; System.js
// reads them back at the next start. Add a key to the list to keep it too.
//
// The file is an INI text in UTF-8, written through the program's own
// codec (Main.PutStrText):
//
//     [Config]
//     Color=#ff8800
//     FontSize=30
//     Shadow=True

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
Main.PutStrText(file, lines.join("\r\n") + "\r\n", "UTF-8");

Main.document.getElementById("Message").innerHTML = "<font size=2>设置已保存：Settings.ini</font>";
Main.showOut = 0;
