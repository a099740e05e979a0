' case: Len counts the text of any value and passes Null through
Test.Echo Len("abc") & " " & Len("") & " " & Len(123) & " " & Len(-1.5) & " " & Len(True)
Test.Echo Len(neverAssigned) & " " & IsNull(Len(Null)) & " " & Len("中文字幕")
' expect: 3 0 3 4 4
' expect: 0 True 4
' case: the text functions write other kinds as text first
Test.Echo Len(12.50) & " " & Len(CDate("2024-03-15")) & " " & Len(1E20) & " " & Left(True, 2) & " " & UCase(DateSerial(2024, 1, 1)) & " " & StrReverse(1.5) & " " & Mid(3.25, 2)
' expect: 4 9 5 Tr 2024/1/1 5.1 .25
' case: the text functions give the language's kinds
Test.Echo TypeName(Len("a")) & " " & TypeName(InStr("a", "a")) & " " & TypeName(InStrRev("a", "a")) & " " & TypeName(Asc("a")) & " " & TypeName(AscW("a")) & " " & TypeName(StrComp("a", "b")) & " " & TypeName(Left(1, 1)) & " " & TypeName(Hex(1)) & " " & TypeName(Split("a"))
' expect: Long Long Long Integer Integer Integer String String Variant()
' case: Len of an array is a type mismatch
x = Len(Array(1, 2))
' expect error: 13
' case: Left, Right and Mid take pieces and stop at the ends
s = "abcdef"
Test.Echo Left(s, 2) & "|" & Right(s, 2) & "|" & Mid(s, 2, 3) & "|" & Mid(s, 5) & "|" & Left(s, 10) & "|" & Right(s, 10) & "|" & Mid(s, 10) & "|" & Mid(s, 3, 0) & "|"
Test.Echo Left("中文字幕", 2) & Right("中文字幕", 1) & Mid("中文字幕", 2, 2)
Test.Echo Mid("abcdef", 3)
' expect: ab|ef|bcd|ef|abcdef|abcdef|||
' expect: 中文幕文字
' expect: cdef
' case: piece lengths are converted like any number, rounding half to even
Test.Echo Left("abcd", 1.5) & " " & Left("abcd", 2.5) & " " & Mid("abcd", "2", "2") & " " & Left(12345, 2) + 1
' expect: ab ab bc 13
' case: Left, Right and Mid pass a Null text through
Test.Echo IsNull(Left(Null, 2)) & " " & IsNull(Right(Null, 2)) & " " & IsNull(Mid(Null, 1))
' expect: True True True
' case: a negative length is an invalid call
x = Left("abc", -1)
' expect error: 5
' case: Mid from position 0 is an invalid call
x = Mid("abc", 0)
' expect error: 5
' case: a Null length is an invalid use of Null
x = Left("abc", Null)
' expect error: 94
' case: a length that is no number is a type mismatch
x = Right("abc", "two")
' expect error: 13
' case: texts built in a loop with Mid, & and Len
s = ""
For i = 1 To 5
  s = s & Mid("abcdefgh", i, 1)
Next
Test.Echo s & " " & Len(s)
Test.Echo UCase(Left(s, 2)) & LCase("XY") & StrReverse("abc")
' expect: abcde 5
' expect: ABxycba
' case: InStr finds from a start, with either comparison
Test.Echo InStr("abcabc", "c") & " " & InStr(4, "abcabc", "c") & " " & InStr("abc", "z") & " " & InStr("abc", "") & " " & InStr("", "a") & " " & InStr(4, "abc", "c")
Test.Echo InStr(1, "ABC", "b", vbTextCompare) & " " & InStr(1, "ABC", "b", vbBinaryCompare) & " " & InStr(1, "ABC", "b", 1)
Test.Echo InStr("中文字幕", "字幕") & " " & InStr(12345, 34) & " " & InStr("a1b", 1)
Test.Echo IsNull(InStr(Null, "a")) & " " & IsNull(InStr("a", Null))
' expect: 3 6 0 1 0 0
' expect: 2 0 2
' expect: 3 3 2
' expect: True True
' case: InStr from position 0 is an invalid call
x = InStr(0, "abc", "a")
' expect error: 5
' case: InStr from a Null start is an invalid use of Null
x = InStr(Null, "abc", "a")
' expect error: 94
' case: InStr with a comparison other than binary or text is an invalid call
x = InStr(1, "abc", "a", 2)
' expect error: 5
' case: InStrRev searches backwards from its start
Test.Echo InStrRev("abcabc", "b") & " " & InStrRev("abcabc", "b", 4) & " " & InStrRev("abc", "B", -1, vbTextCompare) & " " & InStrRev("abc", "c", 5) & " " & InStrRev("abc", "abcd")
Test.Echo InStrRev("中文中文", "中") & " " & InStrRev("abcABC", "b", , vbTextCompare) & " " & IsNull(InStrRev(Null, "a"))
' expect: 5 2 2 0 0
' expect: 3 5 True
' case: InStrRev from position 0 is an invalid call
x = InStrRev("abc", "a", 0)
' expect error: 5
' case: Replace with start, count and comparison
Test.Echo Replace("aaa", "a", "b") & " " & Replace("aaa", "a", "b", 1, 2) & " " & Replace("abcabc", "a", "x", 3) & " " & Replace("ABC", "b", "x", 1, -1, vbTextCompare) & " " & Replace("ABC", "b", "x")
Test.Echo Replace("a.b.c", ".", "") & " " & Replace("aa", "a", "aa") & " " & Replace("abc", "", "x") & " " & Replace("字幕字幕", "字", "文") & " " & Replace(123, 2, 9)
Test.Echo "[" & Replace("abc", "a", "x", 5) & "] " & Replace("abcabc", "B", "x", 2, 1, 1)
' expect: bbb bba cxbc AxC ABC
' expect: abc aaaa abc 文幕文幕 193
' expect: [] xcabc
' case: an argument skipped between others takes its default
Test.Echo Replace("a-b-c", "-", "+", , 1)
Test.Echo InStr(1, "abc", "B", vbTextCompare)
Test.Echo Mid("abcdef", 3)
Test.Echo Replace("aXa", "x", "y", , , vbTextCompare) & " " & Split("a b c", , 2)(1)
' expect: a+b-c
' expect: 2
' expect: cdef
' expect: aya b c
' case: Replace of a Null text is an invalid use of Null
x = Replace(Null, "a", "b")
' expect error: 94
' case: Replace from position 0 is an invalid call
x = Replace("abc", "a", "b", 0)
' expect error: 5
' case: Split by a delimiter, a count and a comparison
p = Split("a,b,c", ",")
Test.Echo UBound(p) & " " & p(0) & p(1) & p(2)
p = Split("a,b,c", ",", 2)
Test.Echo UBound(p) & " " & p(1)
p = Split("aXbxc", "x", -1, vbTextCompare)
Test.Echo UBound(p) & " " & Join(p, "+")
p = Split("one  two")
Test.Echo UBound(p) & " [" & p(1) & "]"
p = Split("字幕，对白", "，")
Test.Echo p(1) & p(0)
' expect: 2 abc
' expect: 1 b,c
' expect: 2 a+b+c
' expect: 2 []
' expect: 对白字幕
' case: Split of a Null text is an invalid use of Null
x = Split(Null)
' expect error: 94
' case: Split with a count below -1 is an invalid call
x = Split("a,b", ",", -2)
' expect error: 5
' case: Join writes each item as text, space by default
Test.Echo Join(Array("a", "b")) & "|" & Join(Array("a", "b"), "") & "|" & Join(Array(1, 2.5, Empty, True), ",") & "|" & Join(Array(), ",") & "|"
' expect: a b|ab|1,2.5,,True||
' case: Join of a text is a type mismatch
x = Join("abc")
' expect error: 13
' case: UCase and LCase change letters only and pass Null through
Test.Echo UCase("aBc中1") & " " & LCase("AbC中1") & " " & LCase(5) & " " & IsNull(UCase(Null)) & " " & IsNull(LCase(Null))
' expect: ABC中1 abc中1 5 True True
' case: Trim, LTrim and RTrim remove spaces only
Test.Echo "[" & Trim("  a b  ") & "][" & LTrim("  a ") & "][" & RTrim(" a  ") & "][" & Trim("   ") & "]"
Test.Echo Len(Trim(vbTab & "a ")) & " " & IsNull(Trim(Null)) & " " & Trim(12)
' expect: [a b][a ][ a][]
' expect: 2 True 12
' case: Space and String repeat characters
Test.Echo "[" & Space(3) & "][" & Space(0) & "] " & String(3, "ab") & " " & String(2, 65) & " " & String(3, "中") & " " & IsNull(String(2, Null))
' expect: [   ][] aaa AA 中中中 True
' case: Space of a negative count is an invalid call
x = Space(-1)
' expect error: 5
' case: String of an empty text is an invalid call
x = String(2, "")
' expect error: 5
' case: String of a Null count is an invalid use of Null
x = String(Null, "a")
' expect error: 94
' case: StrComp orders texts, binary by default
Test.Echo StrComp("a", "b") & " " & StrComp("B", "a") & " " & StrComp("B", "a", vbTextCompare) & " " & StrComp("abc", "ABC", 1) & " " & StrComp("abc", "abc") & " " & StrComp(10, 9) & " " & IsNull(StrComp(Null, "a"))
' expect: -1 -1 1 0 0 -1 True
' case: StrComp with an unknown comparison is an invalid call
x = StrComp("a", "b", 3)
' expect error: 5
' case: StrReverse turns texts and numbers around
Test.Echo StrReverse("abc") & " " & StrReverse("中文") & " " & StrReverse(123) & " [" & StrReverse("") & "]"
' expect: cba 文中 321 []
' case: StrReverse of Null is an invalid use of Null
x = StrReverse(Null)
' expect error: 94
' case: character codes in the locale's code page and in UTF-16
Test.Echo Asc("A") & " " & Asc("Abc") & " " & Asc(5) & " " & Asc("中") & " " & AscW("中") & " " & AscW(ChrW(-1))
Test.Echo Chr(65) & Chr(-10544) & ChrW(20013) & " " & Len(Chr(0)) & " " & AscW(ChrW(65535)) & " " & (Chr(AscW("z")) = "z")
' expect: 65 65 53 -10544 20013 -1
' expect: A中中 1 -1 True
' case: Asc of an empty text is an invalid call
x = Asc("")
' expect error: 5
' case: AscW of an empty text is an invalid call
x = AscW("")
' expect error: 5
' case: Asc of Null is an invalid use of Null
x = Asc(Null)
' expect error: 94
' case: Chr past 65535 is an invalid call
x = Chr(65536)
' expect error: 5
' case: ChrW below -32768 is an invalid call
x = ChrW(-32769)
' expect error: 5
' case: Hex and Oct write whole numbers, negative Integers in 16 bits
Test.Echo Hex(255) & " " & Hex(-1) & " " & Hex(CLng(-1)) & " " & Hex(-32769) & " " & Hex(&HFFFF) & " " & Hex(65535) & " " & Hex(True) & " " & Hex(2.5) & " " & Hex(3.5) & " " & Hex(Empty) & " " & Hex("16")
Test.Echo Hex(-2147483648) & " " & Hex(CInt(-32768)) & " " & Hex(2147483647)
Test.Echo Oct(8) & " " & Oct(-1) & " " & Oct(64) & " " & IsNull(Hex(Null)) & " " & IsNull(Oct(Null))
' expect: FF FFFF FFFFFFFF FFFF7FFF FFFF FFFF FFFF 2 4 0 10
' expect: 80000000 8000 7FFFFFFF
' expect: 10 177777 100 True True
' case: Hex of a number past 32 bits overflows
x = Hex(1E10)
' expect error: 6
' case: Hex of a text that is no number is a type mismatch
x = Hex("abc")
' expect error: 13
' case: Escape and Unescape round trip
Test.Echo Escape("a b+中!") & " " & Escape("@*_+-./") & " " & Unescape("a%20b%u4E2D") & " " & Unescape("%41%u0042") & " " & Unescape("%zz%u12%")
s = "字幕 = 100%"
Test.Echo Unescape(Escape(s)) = s
Test.Echo Escape("é~#")
' expect: a%20b+%u4E2D%21 @*_+-./ a b中 AB %zz%u12%
' expect: True
' expect: %E9%7E%23
' case: too few arguments is a compile-time or run-time error 450
x = Left("abc")
' expect error: 450
' case: too many arguments is error 450
x = Len("a", "b")
' expect error: 450
