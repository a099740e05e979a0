' case: an argument skipped between others takes its default
Test.Echo Replace("a-b-c", "-", "+", , 1)
Test.Echo InStr(1, "abc", "B", vbTextCompare)
Test.Echo Mid("abcdef", 3)
' expect: a+b-c
' expect: 2
' expect: cdef
' case: texts built in a loop with Mid, & and Len
s = ""
For i = 1 To 5
  s = s & Mid("abcdefgh", i, 1)
Next
Test.Echo s & " " & Len(s)
Test.Echo UCase(Left(s, 2)) & LCase("XY") & StrReverse("abc")
' expect: abcde 5
' expect: ABxycba
' case: Split and Join round trip, UBound of the parts
parts = Split("one,two,,four", ",")
Test.Echo UBound(parts)
Test.Echo Join(parts, "|")
Test.Echo Join(Filter(parts, "o"), "+")
' expect: 3
' expect: one|two||four
' expect: one+two+four
' case: conversions keep the language's kinds
Test.Echo TypeName(CInt("12")) & " " & TypeName(CLng(12)) & " " & TypeName(CDbl(1)) & " " & TypeName(CStr(1))
Test.Echo Round(2.5) & " " & Round(3.5) & " " & Int(-1.5) & " " & Fix(-1.5)
Test.Echo Hex(255) & " " & Oct(8) & " " & Asc("A") & " " & Chr(66)
' expect: Integer Long Double String
' expect: 2 4 -2 -1
' expect: FF 10 65 B
' case: a conversion error is catchable and keeps its number
On Error Resume Next
x = CInt("12abc")
Test.Echo Err.Number
Err.Clear
x = CInt(40000)
Test.Echo Err.Number
' expect: 13
' expect: 6
' case: dates from parts and back
d = DateSerial(2024, 14, 35)
Test.Echo Year(d) & "-" & Month(d) & "-" & Day(d)
Test.Echo DateDiff("d", DateSerial(2024, 1, 1), DateSerial(2024, 3, 1))
Test.Echo Month(DateAdd("m", 1, DateSerial(2024, 1, 31))) & "/" & Day(DateAdd("m", 1, DateSerial(2024, 1, 31)))
' expect: 2025-3-7
' expect: 60
' expect: 2/29
' case: constants
Test.Echo Len(vbCrLf) & " " & vbYesNo & " " & vbTextCompare & " " & (vbTrue = True)
' expect: 2 4 1 True
' case: too few arguments is a compile-time or run-time error 450
x = Left("abc")
' expect error: 450
' case: CreateObject reaches the program's creatable objects
Set d = CreateObject("Scripting.Dictionary")
d.Add "k", "v"
Test.Echo d("k") & " " & TypeName(d)
' expect: v Dictionary
' case: a regular expression through New RegExp
Set re = New RegExp
re.Pattern = "(\d+)-(\d+)"
re.Global = True
Set matches = re.Execute("1-2 and 30-40")
Test.Echo matches.Count & " " & matches(1).SubMatches(1)
Test.Echo re.Replace("1-2", "$2-$1")
' expect: 2 40
' expect: 2-1
