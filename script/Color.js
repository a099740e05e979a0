// Color.js: the colour chooser, run by the menu item 颜色 (and its hotkey).
//
// Opens the platform's colour dialog over the window, starting at the
// current colour. On OK the colour ("#rrggbb") goes into Config("Color")
// and the cue is restyled at once; on Cancel nothing changes.

var config = Main.Config;
var color = Main.ChooseColor(config("Color"));
if (color !== "") {
    // While the glow is on, SetTextShadow draws the letters gray when the
    // colour is "white" and white otherwise: white is kept by that name, so
    // that white glowing letters stay readable.
    if (color.toLowerCase() === "#ffffff") color = "white";
    config("Color", color);

    // SetTextShadow writes the cue's whole style again in the new colour
    // (as the glow colour while the glow is on, else as the text colour).
    Main.SetTextShadow(config("Shadow") === true);
    // That also drops the weight; a weight the user picked is put back.
    for (var i = 0; i < Main.OnWeight.Count; i++)
        if (Main.OnWeight(i).Checked)
            Main.SetFontWeight(Main.OnWeight(i).Caption);

    Main.document.getElementById("Message").innerHTML = "<font size=2>color: " + color + ";</font>";
    Main.showOut = 0;
}
