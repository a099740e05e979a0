// Font.js: the font chooser, run by the menu item 字体 (and its hotkey).
//
// Opens the platform's font dialog over the window, starting at the first
// family of Config("FontFamily"). On OK the family goes into
// Config("FontFamily") and the cue is restyled at once; on Cancel nothing
// changes. Only the family is taken: size and weight have their own
// commands (字-, 字+, 字体粗细).

var config = Main.Config;
var family = Main.ChooseFont(config("FontFamily"));
if (family !== "") {
    // A CSS family name of words needs no quotes; any other is quoted.
    var css = /^[^\d\s'",;][^'",;]*$/.test(family) && !/\s\d/.test(family) ? family : "'" + family.replace(/['";]/g, "") + "'";
    config("FontFamily", css);

    // SetTextShadow writes the cue's whole style again with the new family.
    Main.SetTextShadow(config("Shadow") === true);
    // That also drops the weight; a weight the user picked is put back.
    for (var i = 0; i < Main.OnWeight.Count; i++)
        if (Main.OnWeight(i).Checked)
            Main.SetFontWeight(Main.OnWeight(i).Caption);

    Main.document.getElementById("Message").innerHTML = "<font size=2>font-family: " +
        css.replace(/&/g, "&amp;").replace(/</g, "&lt;") + ";</font>";
    Main.showOut = 0;
}
