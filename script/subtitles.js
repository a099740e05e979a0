// subtitles.js: the transform script Sorvane runs on every subtitle load.
//
// When it runs, Main.Config("Format") holds the file's decoded text,
// "CharSet" the character set it was read in and "Extension" the file's
// extension in lower case. Whatever this script leaves in "Format" is what
// the program parses: SRT cue blocks, that is
//
//     1
//     00:01:02,500 --> 00:01:04,000
//     first line
//     second line
//
// with CR LF line ends and one blank line between blocks. The parser shows
// the first two text lines of a cue and removes <tags> and {\codes} itself.
//
// This script turns SRT (tidied), SSA/ASS, LRC and MicroDVD SUB into that
// form. For a file it cannot read (IDX picture subtitles, say) it leaves
// "Format" empty, so nothing is loaded, puts a one-line explanation in
// "Sample" and says why on the page.
//
// Change it freely; the program runs whatever file Config("Script") names.
// It runs on every load, also of files with 100,000 cues: it works on the
// whole text with a few regular expressions and joins arrays, and it reads
// and writes Main.Config once each, since each access is a call into the
// program.

var CRLF = "\r\n";

// ---------------------------------------------------------------- times

function pad2(n) { return n < 10 ? "0" + n : "" + n; }
function pad3(n) { return n < 10 ? "00" + n : n < 100 ? "0" + n : "" + n; }

// Milliseconds as an SRT time, "hh:mm:ss,mmm".
function srtTime(ms) {
    if (ms < 0) ms = 0;
    ms = Math.round(ms);
    var s = Math.floor(ms / 1000);
    return pad2(Math.floor(s / 3600)) + ":" + pad2(Math.floor(s / 60) % 60) + ":" + pad2(s % 60) + "," + pad3(ms % 1000);
}

// A fraction of a second written with any number of digits ("5", "50",
// "500", "5000") as milliseconds.
function fractionMs(digits) {
    if (!digits) return 0;
    return Math.round(Number("0." + digits) * 1000);
}

// One cue block. `text` holds its lines joined by CR LF; a cue without
// text ends at its time line, since an empty line would end the block.
function block(number, start, end, text) {
    var head = number + CRLF + srtTime(start) + " --> " + srtTime(end);
    return text === "" ? head : head + CRLF + text;
}

// Cues {start, end, text, order} sorted by start time; cues that start
// together keep their order in the file.
function sortCues(cues) {
    cues.sort(function (a, b) { return a.start - b.start || a.order - b.order; });
    return cues;
}

function joinCues(cues) {
    var out = new Array(cues.length);
    for (var i = 0; i < cues.length; i++)
        out[i] = block(i + 1, cues[i].start, cues[i].end, cues[i].text);
    return out.join(CRLF + CRLF);
}

// Text lines of a cue: blank lines would end the block, so they go.
function cueText(lines) {
    var kept = [];
    for (var i = 0; i < lines.length; i++) {
        var line = lines[i].replace(/^\s+|\s+$/g, "");
        if (line !== "") kept.push(line);
    }
    return kept.join(CRLF);
}

// ---------------------------------------------------------------- SRT

// "h:m:s,ms --> h:m:s,ms" with "," or "." before the milliseconds (or none),
// and anything after the end time (position hints) ignored.
var srtTimeLine = /^\s*(\d{1,3}):(\d{1,2}):(\d{1,2})(?:[,.](\d+))?\s*-->\s*(\d{1,3}):(\d{1,2}):(\d{1,2})(?:[,.](\d+))?/;

function srtMs(m, i) {
    return ((Number(m[i]) * 60 + Number(m[i + 1])) * 60 + Number(m[i + 2])) * 1000 + fractionMs(m[i + 3]);
}

function fromSrt(text) {
    // One kind of line end, lines of blanks made empty, then blocks at each
    // run of empty lines.
    var blocks = text.replace(/\r\n?/g, "\n").replace(/^[^\S\n]+$/gm, "").split(/\n{2,}/);
    var out = [];
    var number = 0;
    for (var i = 0; i < blocks.length; i++) {
        var lines = blocks[i].replace(/^\n+|\n+$/g, "").split("\n");
        // The time line is the second line, or the first when the cue
        // number is missing; a block with neither is no cue.
        var at = 1, m = lines.length > 1 ? srtTimeLine.exec(lines[1]) : null;
        if (!m) { at = 0; m = srtTimeLine.exec(lines[0]); }
        if (!m) continue;
        number++;
        out.push(block(number, srtMs(m, 1), srtMs(m, 5), cueText(lines.slice(at + 1))));
    }
    return { text: out.join(CRLF + CRLF) };
}

// ---------------------------------------------------------------- SSA / ASS

// "h:mm:ss.cc"
function assMs(value) {
    var m = /^\s*(\d+):(\d+):(\d+)(?:[.,](\d+))?\s*$/.exec(value);
    if (!m) return -1;
    return ((Number(m[1]) * 60 + Number(m[2])) * 60 + Number(m[3])) * 1000 + fractionMs(m[4]);
}

function fromAss(text) {
    // The [Events] section: from its header to the next section header.
    var start = text.search(/^[^\S\r\n]*\[Events\][^\S\r\n]*$/im);
    if (start < 0) return { error: "没有 [Events] 段" };
    var headerEnd = text.indexOf("\n", start);
    var events = headerEnd < 0 ? "" : text.slice(headerEnd + 1);
    var next = events.search(/^[^\S\r\n]*\[[^\]\r\n]+\][^\S\r\n]*$/m);
    if (next >= 0) events = events.slice(0, next);

    // The Format line names the fields; Text is the last and may hold commas.
    var names = ["layer", "start", "end", "style", "name", "marginl", "marginr", "marginv", "effect", "text"];
    var format = /^[^\S\r\n]*Format[^\S\r\n]*:(.*)$/im.exec(events);
    if (format) {
        names = format[1].split(",");
        for (var n = 0; n < names.length; n++) names[n] = names[n].replace(/\s+/g, "").toLowerCase();
    }
    var startAt = names.indexOf("start"), endAt = names.indexOf("end"), textAt = names.length - 1;
    if (startAt < 0 || endAt < 0 || names[textAt] !== "text")
        return { error: "[Events] 段的 Format 行缺少 Start、End 或 Text" };

    // One pattern for all Dialogue lines: the fields before Text, each up to
    // a comma, then the rest of the line. Comment lines do not match.
    var fields = "";
    for (var f = 0; f < textAt; f++)
        fields += f === startAt || f === endAt ? "([^,\\r\\n]*)," : "[^,\\r\\n]*,";
    var dialogue = new RegExp("^[^\\S\\r\\n]*Dialogue[^\\S\\r\\n]*:" + fields + "([^\\r\\n]*)", "gim");
    var startGroup = startAt < endAt ? 1 : 2, endGroup = 3 - startGroup;

    var cues = [];
    var m;
    while ((m = dialogue.exec(events)) !== null) {
        var body = m[3];
        // Drawings ({\p1} and up) are shapes, not text.
        if (body.indexOf("\\p") >= 0 && /\{[^}]*\\p[1-9]/.test(body)) continue;
        // Override blocks go here, also those with spaces in them, which the
        // parser would leave; \N and \n break the line, \h is a hard space.
        body = body.replace(/\{[^}]*\}/g, "").replace(/\\[Nn]/g, "\n").replace(/\\h/g, " ");
        var lines = cueText(body.split("\n"));
        if (lines === "") continue;
        var s = assMs(m[startGroup]), e = assMs(m[endGroup]);
        if (s < 0 || e < 0) continue;
        cues.push({ start: s, end: e, text: lines, order: cues.length });
    }
    if (cues.length === 0) return { error: "[Events] 段里没有 Dialogue 行" };
    return { text: joinCues(sortCues(cues)) };
}

// ---------------------------------------------------------------- LRC

// A line lasts until the next stamp; the last one this long.
var LRC_LAST_MS = 5000;

function fromLrc(text) {
    // [offset:+500] moves every line 500 ms earlier.
    var offset = /^\s*\[offset:\s*([+-]?\d+)\s*\]/im.exec(text);
    var shift = offset ? Number(offset[1]) : 0;
    var lines = text.split(/\r\n?|\n/);
    var stamps = [];
    var stamp = /\[(\d+):(\d{1,2})(?:[.:](\d+))?\]/g;
    for (var i = 0; i < lines.length; i++) {
        var line = lines[i];
        var lead = /^\s*((?:\[\d+:\d{1,2}(?:[.:]\d+)?\]\s*)+)(.*)$/.exec(line);
        if (!lead) continue;
        var words = lead[2].replace(/^\s+|\s+$/g, "");
        var m;
        stamp.lastIndex = 0;
        while ((m = stamp.exec(lead[1])) !== null) {
            var at = (Number(m[1]) * 60 + Number(m[2])) * 1000 + fractionMs(m[3]) - shift;
            stamps.push({ start: at < 0 ? 0 : at, text: words, order: stamps.length });
        }
    }
    if (stamps.length === 0) return { error: "没有 [mm:ss.xx] 时间标签" };
    sortCues(stamps);
    // A stamp without words only ends the line before it.
    var cues = [];
    for (var k = 0; k < stamps.length; k++) {
        var c = stamps[k];
        if (c.text === "") continue;
        var following = k + 1 < stamps.length ? stamps[k + 1].start : c.start + LRC_LAST_MS;
        c.end = following > c.start ? following - 1 : c.start;
        cues.push(c);
    }
    if (cues.length === 0) return { error: "没有歌词行" };
    return { text: joinCues(cues) };
}

// ---------------------------------------------------------------- MicroDVD

var MICRODVD_FPS = 23.976;
// A cue without an end frame ({100}{}text) lasts this long.
var MICRODVD_OPEN_MS = 3000;

function fromMicroDvd(text) {
    var fps = MICRODVD_FPS;
    var rate = /^[^\S\r\n]*\{1\}\{1\}[^\S\r\n]*(\d+(?:\.\d+)?)[^\S\r\n]*$/m.exec(text);
    if (rate && Number(rate[1]) > 0) fps = Number(rate[1]);
    var cue = /^[^\S\r\n]*\{(\d+)\}\{(\d*)\}(.*)$/gm;
    var cues = [];
    var m;
    while ((m = cue.exec(text)) !== null) {
        // The frame-rate line is no cue.
        if (rate && m[1] === "1" && m[2] === "1" && m[3].replace(/\s+/g, "") === rate[1]) continue;
        var lines = cueText(m[3].split("|"));
        if (lines === "") continue;
        var s = Number(m[1]) * 1000 / fps;
        var e = m[2] === "" ? s + MICRODVD_OPEN_MS : Number(m[2]) * 1000 / fps;
        cues.push({ start: s, end: e, text: lines, order: cues.length });
    }
    if (cues.length === 0) return { error: "没有 {开始帧}{结束帧}文字 行（可能是 VobSub 图像字幕）" };
    return { text: joinCues(sortCues(cues)) };
}

// ---------------------------------------------------------------- IDX

function fromIdx() {
    return { error: "IDX 是 VobSub 图像字幕，没有文字可读，请先转换成 SRT/ASS 格式" };
}

// ---------------------------------------------------------------- dispatch

// By extension; a file whose text fits no reader is tried by its content.
var readers = { srt: fromSrt, ssa: fromAss, ass: fromAss, lrc: fromLrc, sub: fromMicroDvd, idx: fromIdx };

function readerOfContent(text) {
    if (/^\s*\[(Script Info|Events|V4\+? Styles)\]/im.test(text)) return fromAss;
    if (/^\s*\{\d+\}\{\d*\}/m.test(text)) return fromMicroDvd;
    if (/-->/.test(text)) return fromSrt;
    if (/^\s*\[\d+:\d{1,2}/m.test(text)) return fromLrc;
    return null;
}

function transform(text, extension) {
    var read = readers[extension];
    var result = read ? read(text) : { error: "不认识的字幕格式" };
    if (!result.error && result.text === "") result.error = "没有可用的字幕";
    if (result.error && read !== fromIdx) {
        var other = readerOfContent(text);
        if (other && other !== read) {
            var second = other(text);
            if (!second.error && second.text !== "") return second;
        }
    }
    return result;
}

var config = Main.Config;
var base = config("Base");
var extension = String(config("Extension") || "").toLowerCase();
var source = String(config("Format") || "").replace(/^\uFEFF/, "");
var result = transform(source, extension);
if (result.error) {
    var why = "字幕【" + base + "】(" + extension.toUpperCase() + ") 无法载入：" + result.error;
    config("Sample", why);
    config("Format", "");
    Main.document.getElementById("Message").innerHTML = "<font size=2 color=yellow>" + why.replace(/&/g, "&amp;").replace(/</g, "&lt;") + "</font>";
    Main.showOut = 0;
} else {
    config("Format", result.text);
}
