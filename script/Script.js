// Script.js: saves the current setup now (menu 程序设置 › 执行脚本 › Script.js).
//
// Exit.js saves it anyway as the window closes; this runs the same script
// at once, so that what is saved survives a crash or a power cut.

var exitScript = Main.ScriptPath + "Exit.js";
if (new ActiveXObject("Scripting.FileSystemObject").FileExists(exitScript)) {
    // Indirect eval: run at the top level, as the program runs it.
    (0, eval)(String(Main.GetFileText(exitScript)));
    Main.document.getElementById("Message").innerHTML = "<font size=2>设置已保存：Settings.ini</font>";
} else {
    Main.document.getElementById("Message").innerHTML = "<font size=2>找不到 Exit.js 脚本！</font>";
}
Main.showOut = 0;
