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
// This script turns SRT (tidied), SSA/ASS, LRC, MicroDVD SUB and WebVTT into that
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

// ---------------------------------------------------------------- records
//
// The readers of SSA/ASS, LRC and MicroDVD bring every cue to one record, a
// line of its own:
//
//     hh:mm:ss,mmm --> hh:mm:ss,mmm <TEXT> first line <BREAK> second line
//
// where TEXT and BREAK are the control characters \u0002 and \u0003, so
// that sorting, numbering and the final CR LF form are done once for all of
// them. Work on the whole text is done by regular expressions wherever
// possible, each starting with a character that must be there, so that the
// engine passes over the text quickly; every pass over a big file costs
// about as much as any other, so passes that would change nothing are
// skipped after a quick test.

var TEXT = "\u0002", BREAK = "\u0003";
// Where TEXT stands in a record with two-digit hours.
var TEXT_AT = 29;
// Times from 100 hours on have three-digit hours: no cue has them.
var MAX_MS = 100 * 3600 * 1000;

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

// The record of one cue; `lines` are its text lines, blank ones left out.
function record(start, end, lines) {
    var kept = [];
    for (var i = 0; i < lines.length; i++) {
        var line = lines[i].replace(/^\s+|\s+$/g, "");
        if (line !== "") kept.push(line);
    }
    return srtTime(start) + " --> " + srtTime(end) + TEXT + kept.join(BREAK);
}

// The marks used inside records cannot come from the file.
function withoutMarks(text) {
    return /[\u0001-\u0004]/.test(text) ? text.replace(/[\u0001-\u0004]/g, "") : text;
}

// Records in start-time order; records that start together keep their
// order. A counting sort by the start second, then by milliseconds within
// the second.
function sortRecords(records) {
    var buckets = [], second, i;
    for (i = 0; i < records.length; i++) {
        var r = records[i];
        second = (Number(r.substring(0, 2)) * 60 + Number(r.substring(3, 5))) * 60 + Number(r.substring(6, 8));
        (buckets[second] || (buckets[second] = [])).push(r);
    }
    var out = [];
    for (second = 0; second < buckets.length; second++) {
        var bucket = buckets[second];
        if (!bucket) continue;
        // Insertion sort: stable, and a bucket holds a few records.
        for (var k = 1; k < bucket.length; k++) {
            var item = bucket[k], key = item.substring(0, 12), j = k - 1;
            while (j >= 0 && bucket[j].substring(0, 12) > key) { bucket[j + 1] = bucket[j]; j--; }
            bucket[j + 1] = item;
        }
        for (k = 0; k < bucket.length; k++) out.push(bucket[k]);
    }
    return out;
}

// Records joined by "\n" as numbered cue blocks in start-time order, with
// CR LF line ends and one blank line between blocks. Lines that are no
// record are passed over, and so are records without text.
function cueBlocks(joined) {
    var lines = joined.split("\n"), out = [], inOrder = true, last = "";
    for (var i = 0; i < lines.length; i++) {
        var r = lines[i];
        if (r.charCodeAt(TEXT_AT) !== 2) continue;
        // A line break or blank at either end of the text would leave an
        // empty line, which ends a cue block.
        if (r.charCodeAt(r.length - 1) <= 32 || r.charCodeAt(TEXT_AT + 1) <= 32) {
            r = r.replace(/[\s\u0003]+$/, "").replace(/\u0002[\s\u0003]+/, TEXT);
            if (r.charCodeAt(r.length - 1) === 2) continue;
        }
        // Numbered as they come; a record found out of order undoes that.
        // Times of two-digit hours compare as text.
        if (r < last && r.substring(0, 12) < last.substring(0, 12)) inOrder = false;
        last = r;
        out.push((out.length + 1) + TEXT + r);
    }
    if (!inOrder) {
        for (i = 0; i < out.length; i++) out[i] = out[i].substring(out[i].indexOf(TEXT) + 1);
        out = sortRecords(out);
        for (i = 0; i < out.length; i++) out[i] = (i + 1) + TEXT + out[i];
    }
    return out.join(CRLF + CRLF).replace(/[\u0002\u0003]/g, CRLF);
}

// Cues as the SSA/ASS reader leaves them, one after another in file order,
// where CUE is the control character \u0001:
//
//     <CUE> CR LF hh:mm:ss,mmm --> hh:mm:ss,mmm CR LF first line <BREAK> second line CR LF CR LF
//
// as numbered cue blocks. The numbers go where the CUE marks stand, by
// String.raw, which puts its further arguments between the pieces it is
// given, and the numbers are the names Object.keys gives the pieces: in
// JavaScript no string is built for a cue, which on big files costs more
// than all the passes over the text. Cues out of start-time order, and
// cues whose text needs trimming or is empty, are left to cueBlocks. Text
// before the first cue and after the last is no cue.
//
// Every pass over a big text counts: patterns that start with one given
// character and indexOf with one character or more than five are the
// quick ones; a test of each cue in the loop that compares them costs less
// than one more pattern.
var CUE = "\u0001", END = CRLF + CRLF;
// Where the text starts in a piece: after CR LF, the time line and CR LF.
var CUE_TEXT_AT = 2 + TEXT_AT + 2;
// The time line of a piece, with the CR LF before and after it.
var cueTimeLine = /\n(\d\d:\d\d:\d\d,\d\d\d --> \d\d:\d\d:\d\d,\d\d\d)\r\n/g;
// String.raw takes its pieces as arguments, and the engine takes only so
// many arguments at a time.
var CUES_AT_A_TIME = 100000;

function numberedCues(cues) {
    var pieces = cues.split(CUE), count = pieces.length - 1, i;
    if (count === 0) return "";
    pieces[0] = "";
    var last = pieces[count];
    pieces[count] = last.substring(0, last.indexOf(END) + END.length);
    // A text that starts or ends with a blank or a break, or is empty (the
    // time line's LF is then the character before END), is trimmed by
    // cueBlocks.
    // Times of two-digit hours compare as text.
    var inOrder = true, piece, before = "";
    for (i = 1; i <= count; i++) {
        piece = pieces[i];
        if (piece.charCodeAt(CUE_TEXT_AT) <= 32 || piece.charCodeAt(piece.length - END.length - 1) <= 32 ||
            (piece < before && piece.substring(2, 14) < before.substring(2, 14))) {
            inOrder = false;
            break;
        }
        before = piece;
    }
    if (!inOrder) {
        var all = pieces.join("").replace(cueTimeLine, "\n$1" + TEXT);
        return cueBlocks(all.substring(CRLF.length - 1, all.length - END.length).split(END + CRLF).join("\n"));
    }

    pieces[count] = pieces[count].substring(0, pieces[count].length - END.length);
    var numbers = Object.keys(pieces), out = [];
    for (var from = 0; from < count; from += CUES_AT_A_TIME) {
        var to = Math.min(from + CUES_AT_A_TIME, count);
        var whole = from === 0 && to === count;
        var args = whole ? numbers : numbers.slice(from, to + 1);
        args[0] = { raw: whole ? pieces : [""].concat(pieces.slice(from + 1, to + 1)) };
        out.push(String.raw.apply(String, args));
    }
    var blocks = out.join("");
    return blocks.indexOf(BREAK) >= 0 ? blocks.replace(/\u0003/g, CRLF) : blocks;
}

// ---------------------------------------------------------------- SRT

// A time line: "," or "." before the milliseconds; anything after the end
// time (position hints) goes.
var SRT_TIME = "(\\d{1,3}:\\d{1,2}:\\d{1,2})[,.](\\d{1,3})\\d*";
var srtTimeLines = new RegExp("\\n[^\\S\\n]*" + SRT_TIME + "[^\\S\\n]*-->[^\\S\\n]*" + SRT_TIME + "[^\\n]*", "g");
// Signs that the time lines need that: a time without milliseconds, with "."
// before them, or with more after the end time.
var untidyTimeLines = [/:\d{1,2}[^\S\n]*-->/, /:\d{1,2}\.\d/, /-->[^\S\n]*\d{1,3}:\d{1,2}:\d{1,2}(?!\d|,\d{1,3}\n)/];
// A block that starts with its time line: its number is missing.
var unnumbered = /\n\n[^\S\n]*\d{1,3}:\d{1,2}:\d{1,2}[,.]\d/;

// The same signs in a text with CR LF line ends, and line ends of any other
// kind: a text showing none of them is already what fromSrt would make.
var untidyCrLf = [/\r(?!\n)|(?:^|[^\r])\n/, /(?:^|\n)[^\S\r\n]+(?:\r|$)/, /\r\n\r\n\r\n/,
                  /:\d{1,2}[^\S\r\n]*-->/, /:\d{1,2}\.\d/, /-->[^\S\r\n]*\d{1,3}:\d{1,2}:\d{1,2}(?!\d|,\d{1,3}\r\n)/,
                  /(?:^|\r\n\r\n)[^\S\r\n]*\d{1,3}:\d{1,2}:\d{1,2}[,.]\d/];

// The text itself when it is already what fromSrt would make, but for line
// breaks at its end; null when it is not.
function tidySrt(text) {
    var end = text.length;
    while (end > 0 && (text.charCodeAt(end - 1) === 10 || text.charCodeAt(end - 1) === 13)) end--;
    if (end < text.length) text = text.substring(0, end);
    if (text.charCodeAt(0) === 13 || text.charCodeAt(0) === 10) return null;
    for (var i = 0; i < untidyCrLf.length; i++)
        if (untidyCrLf[i].test(text)) return null;
    return text;
}

function fromSrt(text) {
    // Line ends, lines of blanks and runs of blank lines are put right by
    // patterns over the whole text, every line starting with "\n" here; time
    // lines and cue numbers only when something in them is amiss. A text
    // that needs none of it goes through as it is: a large file is then
    // not copied at all.
    if (text.indexOf("-->") < 0) return { text: "" };
    var tidy = tidySrt(text);
    if (tidy !== null) return { text: tidy, unchanged: tidy.length === text.length };
    text = "\n\n" + text.replace(/\r\n?/g, "\n") + "\n";
    if (/\n[^\S\n]+\n/.test(text)) text = text.replace(/\n[^\S\n]+(?=\n)/g, "\n");
    if (untidyTimeLines[0].test(text) || untidyTimeLines[1].test(text) || untidyTimeLines[2].test(text)) {
        text = text.replace(/(:\d{1,2})(?=[^\S\n]*-->)/g, "$1,000")
            .replace(/(-->[^\S\n]*\d{1,3}:\d{1,2}:\d{1,2})(?![\d,.])/g, "$1,000")
            .replace(srtTimeLines, function (line, from, fromMs, to, toMs) {
                // ".5" is half a second: "500".
                return "\n" + from + "," + (fromMs + "00").substring(0, 3) + " --> " + to + "," + (toMs + "00").substring(0, 3);
            });
    }
    if (text.indexOf("\n\n\n") >= 0) text = text.replace(/\n{3,}/g, "\n\n");
    if (unnumbered.test(text)) text = renumbered(text);
    var from = 0, to = text.length;
    while (from < to && text.charCodeAt(from) === 10) from++;
    while (to > from && text.charCodeAt(to - 1) === 10) to--;
    return { text: text.substring(from, to).replace(/\n/g, CRLF) };
}

// Blocks numbered afresh: the time line is the second line of a block, or
// the first when the number is missing; a block with neither is no cue and
// goes. `text` has "\n" line ends and one blank line between blocks.
function renumbered(text) {
    var time = /^[^\S\n]*\d{1,3}:\d{1,2}:\d{1,2},\d{1,3}[^\S\n]*-->/;
    var blocks = text.split("\n\n"), out = [];
    for (var i = 0; i < blocks.length; i++) {
        var b = blocks[i];
        if (!time.test(b)) {
            var eol = b.indexOf("\n");
            if (eol < 0 || !time.test(b.substring(eol + 1))) continue;
            b = b.substring(eol + 1);
        }
        out.push((out.length + 1) + "\n" + b);
    }
    return out.join("\n\n");
}

// ---------------------------------------------------------------- SSA / ASS

// "h:mm:ss.cc", with any number of digits in each field; -1 for any other text.
function assMs(value) {
    var m = /^(\d+):(\d+):(\d+)(?:[.,](\d+))?$/.exec(value);
    if (!m) return -1;
    return ((Number(m[1]) * 60 + Number(m[2])) * 60 + Number(m[3])) * 1000 + fractionMs(m[4]);
}

function fromAss(text) {
    // The [Events] section: from its header to the next section header.
    // Every line of it starts with "\n" here, which the patterns below
    // start with.
    var start = text.indexOf("[Events]");
    if (start < 0) start = text.search(/\[Events\]/i);
    if (start < 0) return { error: "没有 [Events] 段" };
    var headerEnd = text.indexOf("\n", start);
    var events = headerEnd < 0 ? "" : text.slice(headerEnd);
    var next = events.search(/\n[^\S\r\n]*\[[^\]\r\n]+\][^\S\r\n]*(?=\r?\n|$)/);
    if (next >= 0) events = events.slice(0, next);

    // The Format line names the fields; Text is the last and may hold commas.
    var names = ["layer", "start", "end", "style", "name", "marginl", "marginr", "marginv", "effect", "text"];
    var format = /\n[^\S\r\n]*Format[^\S\r\n]*:([^\r\n]*)/i.exec(events);
    if (format) {
        names = format[1].split(",");
        for (var n = 0; n < names.length; n++) names[n] = names[n].replace(/\s+/g, "").toLowerCase();
    }
    var startAt = names.indexOf("start"), endAt = names.indexOf("end"), textAt = names.length - 1;
    if (startAt < 0 || endAt < 0 || names[textAt] !== "text")
        return { error: "[Events] 段的 Format 行缺少 Start、End 或 Text" };

    // One pattern turns each Dialogue line into a cue (Comment lines and the
    // rest stay as they are and go later): the fields before Text, each up to
    // a comma, and the rest of the line. The usual time shapes "h:mm:ss.cc"
    // and "hh:mm:ss.cc" are read here, the hours written with a "0" before
    // them, which a second pass takes away from two-digit hours when there
    // are any; times of any other shape take a slower way. A line taken by an
    // earlier pass is a cue, which starts with CUE and not with "\n": no field
    // may reach into one.
    function dialogue(time) {
        var fields = "";
        for (var f = 0; f < textAt; f++)
            fields += f === startAt || f === endAt ? "[^\\S\\n]*" + time + "[^\\S\\n]*," : "[^,\\n\\u0001]*,";
        return new RegExp("\\n[^\\S\\r\\n]*Dialogue[^\\S\\r\\n]*:" + fields + "([^\\r\\n\\u0001]*)\\r?(?=[\\n\\u0001]|$)", "gi");
    }
    // Each Dialogue line becomes a cue (see numberedCues). Each pass takes
    // the "\n" before a line, and there is none in a cue's text: a line no
    // pass took follows the blank line that ends a cue.
    var first = startAt < endAt;
    function cueOf(from, to, text) {
        return CUE + CRLF + (first ? from + " --> " + to : to + " --> " + from) + CRLF + text + END;
    }
    // Marks, drawings and \h are rare: one look for the marks, and one for
    // drawings and \h, also a \h that taking out an override block would make.
    var marked = events.indexOf("\u0001") >= 0 || events.indexOf("\u0002") >= 0 || events.indexOf("\u0003") >= 0 ||
        events.indexOf("\u0004") >= 0;
    var rare = /\\(?:p[1-9]|h|\{)/.test(events);
    var joined = (marked ? withoutMarks(events) : events).replace(dialogue("(\\d?\\d:\\d\\d:\\d\\d)[.,](\\d\\d)"),
        cueOf("0$1,$20", "0$3,$40", "$5"));
    if (/\u0001\r\n(?:0\d\d:|\d\d:\d\d:\d\d,\d\d\d --> 0\d\d:)/.test(joined))
        joined = joined.replace(/\u0001\r\n(?:0(\d\d:\d\d:\d\d,\d\d\d --> )0?|(\d\d:\d\d:\d\d,\d\d\d --> )0)(?=\d\d:)/g,
            CUE + CRLF + "$1$2");
    // Lines the pattern above did not take, one by one.
    if (joined.indexOf("ialogue") >= 0) {
        joined = joined.replace(dialogue("([^,\\n\\u0001]*?)"), function (line, a, b, text) {
            // a and b are the times in field order, as cueOf takes them.
            var msA = assMs(a), msB = assMs(b);
            return msA < 0 || msB < 0 || msA >= MAX_MS || msB >= MAX_MS ? "" : cueOf(srtTime(msA), srtTime(msB), text);
        });
    }
    // Lines no pass took; the lines after the last cue are left to numberedCues.
    var leftover = joined.search(/\n\n/);
    if (leftover >= 0 && leftover < joined.lastIndexOf(END)) joined = joined.replace(/\n\n[^\u0001]*/g, "\n");

    // Drawings ({\p1} and up) are shapes, not text: their cue goes.
    if (rare && /\\p[1-9]/.test(joined))
        joined = joined.replace(/\u0001\r\n[^\r\n]*\r\n[^\r\n]*\{[^}\n]*\\p[1-9][^\u0001]*/g, "");
    // Override blocks go here, also those with spaces in them, which the
    // parser would leave; \N and \n break the line (several in a row, one
    // break), \h is a hard space. The blanks before a break go after the
    // breaks are in: a pattern that starts with blanks is tried at every
    // character, which makes it the slowest pass.
    if (joined.indexOf("{") >= 0) joined = joined.replace(/\{[^}\n]*\}/g, "");
    joined = joined.replace(/\\[Nn](?:[^\S\r\n]*\\[Nn])*[^\S\r\n]*/g, BREAK);
    if (/[^\S\r\n]\u0003/.test(joined)) joined = joined.replace(/[^\S\r\n]+\u0003/g, BREAK);
    if (rare && joined.indexOf("\\h") >= 0) joined = joined.replace(/\\h/g, " ");

    var blocks = numberedCues(joined);
    if (blocks === "") return { error: "[Events] 段里没有 Dialogue 行" };
    return { text: blocks };
}

// ---------------------------------------------------------------- LRC

// A line lasts until the next stamp; the last one this long.
var LRC_LAST_MS = 5000;

function fromLrc(text) {
    // [offset:+500] moves every line 500 ms earlier.
    var offset = /^\s*\[offset:\s*([+-]?\d+)\s*\]/im.exec(text);
    var shift = offset ? Number(offset[1]) : 0;
    var lines = withoutMarks(text).split(/\r\n?|\n/);
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
    // Stamps that fall together keep their order (lyrics files are small).
    stamps.sort(function (a, b) { return a.start - b.start || a.order - b.order; });
    // A stamp without words only ends the line before it.
    var records = [];
    for (var k = 0; k < stamps.length; k++) {
        var c = stamps[k];
        if (c.text === "") continue;
        var following = k + 1 < stamps.length ? stamps[k + 1].start : c.start + LRC_LAST_MS;
        records.push(record(c.start, following > c.start ? following - 1 : c.start, [c.text]));
    }
    if (records.length === 0) return { error: "没有歌词行" };
    return { text: cueBlocks(records.join("\n")) };
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
    var records = [];
    var m;
    text = withoutMarks(text);
    while ((m = cue.exec(text)) !== null) {
        // The frame-rate line is no cue.
        if (rate && m[1] === "1" && m[2] === "1" && m[3].replace(/\s+/g, "") === rate[1]) continue;
        var s = Number(m[1]) * 1000 / fps;
        var e = m[2] === "" ? s + MICRODVD_OPEN_MS : Number(m[2]) * 1000 / fps;
        records.push(record(s, e, m[3].split("|")));
    }
    var blocks = cueBlocks(records.join("\n"));
    if (blocks === "") return { error: "没有 {开始帧}{结束帧}文字 行（可能是 VobSub 图像字幕）" };
    return { text: blocks };
}

// ---------------------------------------------------------------- WebVTT

// "hh:mm:ss.mmm" or "mm:ss.mmm"; the hours may be left out.
var VTT_TIME = "(?:(\\d+):)?(\\d{1,2}):(\\d{1,2})[.,](\\d{1,3})";
var vttTimeLine = new RegExp("^[^\\S\\n]*" + VTT_TIME + "[^\\S\\n]*-->[^\\S\\n]*" + VTT_TIME + "(?:[^\\S\\n].*)?$");
// Voice, class, language and ruby spans, the styles and the timestamps
// inside a cue are markup; only their text is shown.
var vttTags = /<\/?(?:v|c|i|b|u|lang|ruby|rt)(?:[.\s][^>\n]*)?>|<\d+:\d{1,2}(?::\d{1,2})?[.,]\d+>/g;
// The cue text stays HTML, which the page shows: "&amp;", "&lt;" and "&gt;"
// are left as they are (decoded, "&lt;i&gt;" would become a tag, and go);
// the spaces and marks are written out.
var vttEntities = { nbsp: "\u00A0", lrm: "\u200E", rlm: "\u200F" };

function vttMs(h, m, s, ms) {
    return ((Number(h || 0) * 60 + Number(m)) * 60 + Number(s)) * 1000 + fractionMs(ms);
}

function vttText(line) {
    return line.replace(vttTags, "").replace(/&(nbsp|lrm|rlm);/g, function (all, name) { return vttEntities[name]; });
}

function fromVtt(text) {
    // Blocks are separated by blank lines. A block is a cue when its first
    // or second line is a time line (the first line may be the cue's
    // identifier); NOTE, STYLE and REGION blocks and the header are not.
    var blocks = withoutMarks(text).replace(/\r\n?/g, "\n").split(/\n[^\S\n]*\n/);
    var records = [];
    for (var i = 0; i < blocks.length; i++) {
        var lines = blocks[i].replace(/^\n+/, "").split("\n");
        var at = vttTimeLine.test(lines[0]) ? 0 : lines.length > 1 && vttTimeLine.test(lines[1]) ? 1 : -1;
        if (at < 0 || (at === 1 && /^(?:WEBVTT|NOTE|STYLE|REGION)(?:\s|$)/.test(lines[0]))) continue;
        var m = vttTimeLine.exec(lines[at]);
        var start = vttMs(m[1], m[2], m[3], m[4]), end = vttMs(m[5], m[6], m[7], m[8]);
        if (start >= MAX_MS || end >= MAX_MS) continue;
        var words = [];
        for (var k = at + 1; k < lines.length; k++) words.push(vttText(lines[k]));
        records.push(record(start, end, words));
    }
    var blocksOut = cueBlocks(records.join("\n"));
    if (blocksOut === "") return { error: "没有 时间 --> 时间 的字幕块" };
    return { text: blocksOut };
}

// ---------------------------------------------------------------- IDX

function fromIdx() {
    return { error: "IDX 是 VobSub 图像字幕，没有文字可读，请先转换成 SRT/ASS 格式" };
}

// ---------------------------------------------------------------- dispatch

// By extension; a file whose text fits no reader is tried by its content.
var readers = { srt: fromSrt, ssa: fromAss, ass: fromAss, lrc: fromLrc, sub: fromMicroDvd, vtt: fromVtt,
               idx: fromIdx };

function isVtt(text) { return /^WEBVTT(?:[ \t\r\n]|$)/.test(text); }

function readerOfContent(text) {
    if (/^\s*\[(Script Info|Events|V4\+? Styles)\]/im.test(text)) return fromAss;
    if (/^\s*\{\d+\}\{\d*\}/m.test(text)) return fromMicroDvd;
    if (/-->/.test(text)) return fromSrt;
    if (/^\s*\[\d+:\d{1,2}/m.test(text)) return fromLrc;
    return null;
}

function transform(text, extension) {
    // A WebVTT file is one whatever it is named.
    var read = isVtt(text) ? fromVtt : readers[extension];
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
var source = String(config("Format") || "");
var marked = source.charCodeAt(0) === 0xFEFF;
if (marked) source = source.substring(1);
var result = transform(source, extension);
if (result.error) {
    var why = "字幕【" + base + "】(" + extension.toUpperCase() + ") 无法载入：" + result.error;
    config("Sample", why);
    config("Format", "");
    Main.document.getElementById("Message").innerHTML = "<font size=2 color=yellow>" + why.replace(/&/g, "&amp;").replace(/</g, "&lt;") + "</font>";
    Main.showOut = 0;
} else if (!result.unchanged || marked) {
    // Text the script did not change is left where it is.
    config("Format", result.text);
}
