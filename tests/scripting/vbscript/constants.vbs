' case: constants
Test.Echo Len(vbCrLf) & " " & vbYesNo & " " & vbTextCompare & " " & (vbTrue = True)
' expect: 2 4 1 True
' case: the text constants hold their control characters
Test.Echo AscW(Left(vbCrLf, 1)) & " " & AscW(Right(vbCrLf, 1)) & " " & AscW(vbCr) & " " & AscW(vbLf) & " " & AscW(vbTab) & " " & AscW(vbNullChar) & " " & AscW(vbBack) & " " & AscW(vbFormFeed) & " " & AscW(vbVerticalTab)
Test.Echo (vbNewLine = vbCrLf) & " " & (vbCrLf = vbCr & vbLf) & " " & (vbNullChar = Chr(0)) & " " & (vbTab = Chr(9)) & " " & TypeName(vbCrLf)
' expect: 13 10 13 10 9 0 8 12 11
' expect: True True True True String
' case: vbNullString is an empty text, vbNullChar one character
Test.Echo Len(vbNullString) & " " & (vbNullString = "") & " " & TypeName(vbNullString) & " " & IsEmpty(vbNullString) & " " & Len(vbNullChar) & " " & (vbNullChar = "") & " [" & vbNullString & "]"
' expect: 0 True String False 1 False []
' case: text constants split and join lines
lines = Split("one" & vbCrLf & "two" & vbCrLf & "three", vbCrLf)
Test.Echo UBound(lines) & " " & lines(2)
Test.Echo Replace(Join(lines, vbTab), vbTab, "|") & " " & InStr("a" & vbLf & "b", vbLf) & " " & Len("a" & vbNullChar & "b")
' expect: 2 three
' expect: one|two|three 2 3
' case: the tristate constants
Test.Echo vbTrue & " " & vbFalse & " " & vbUseDefault & " " & (vbFalse = False) & " " & CBool(vbTrue) & " " & (vbTrue = -1)
' expect: -1 0 -2 True True True
' case: the message box button and icon constants
Test.Echo vbOKOnly & " " & vbOKCancel & " " & vbAbortRetryIgnore & " " & vbYesNoCancel & " " & vbYesNo & " " & vbRetryCancel
Test.Echo vbCritical & " " & vbQuestion & " " & vbExclamation & " " & vbInformation
Test.Echo vbDefaultButton1 & " " & vbDefaultButton2 & " " & vbDefaultButton3 & " " & vbDefaultButton4 & " " & vbApplicationModal & " " & vbSystemModal
Test.Echo vbMsgBoxHelpButton & " " & vbMsgBoxSetForeground & " " & vbMsgBoxRight & " " & vbMsgBoxRtlReading
' expect: 0 1 2 3 4 5
' expect: 16 32 48 64
' expect: 0 256 512 768 0 4096
' expect: 16384 65536 524288 1048576
' case: message box constants combine with + and Or
Test.Echo vbYesNo + vbQuestion & " " & (vbYesNoCancel Or vbExclamation Or vbDefaultButton2) & " " & ((vbYesNo + vbCritical) And 15) & " " & ((vbOKCancel + vbInformation) And &HF0)
' expect: 36 307 4 64
' case: the message box result constants
Test.Echo vbOK & " " & vbCancel & " " & vbAbort & " " & vbRetry & " " & vbIgnore & " " & vbYes & " " & vbNo
' expect: 1 2 3 4 5 6 7
' case: the comparison constants drive the text functions
Test.Echo vbBinaryCompare & " " & vbTextCompare & " " & vbDatabaseCompare
Test.Echo InStr(1, "aBc", "b", vbBinaryCompare) & " " & InStr(1, "aBc", "b", vbTextCompare) & " " & StrComp("A", "a", vbTextCompare) & " " & UBound(Filter(Array("A", "a"), "a", True, vbTextCompare))
' expect: 0 1 2
' expect: 0 2 0 1
' case: the day of the week constants
Test.Echo vbUseSystemDayOfWeek & " " & vbSunday & " " & vbMonday & " " & vbTuesday & " " & vbWednesday & " " & vbThursday & " " & vbFriday & " " & vbSaturday
Test.Echo (Weekday(DateSerial(2024, 3, 15)) = vbFriday) & " " & (Weekday(DateSerial(2024, 3, 17)) = vbSunday)
' expect: 0 1 2 3 4 5 6 7
' expect: True True
' case: the first week of the year constants
Test.Echo vbUseSystem & " " & vbFirstJan1 & " " & vbFirstFourDays & " " & vbFirstFullWeek
' expect: 0 1 2 3
' case: the date format constants
Test.Echo vbGeneralDate & " " & vbLongDate & " " & vbShortDate & " " & vbLongTime & " " & vbShortTime
Test.Echo FormatDateTime(DateSerial(2024, 3, 15), vbShortDate) & " " & FormatDateTime(TimeSerial(9, 5, 0), vbShortTime)
' expect: 0 1 2 3 4
' expect: 2024/3/15 09:05
' case: the VarType constants name what VarType returns
Test.Echo vbEmpty & " " & vbNull & " " & vbInteger & " " & vbLong & " " & vbSingle & " " & vbDouble & " " & vbCurrency & " " & vbDate & " " & vbString
Test.Echo vbObject & " " & vbError & " " & vbBoolean & " " & vbVariant & " " & vbDataObject & " " & vbDecimal & " " & vbByte & " " & vbArray
Test.Echo (VarType("") = vbString) & " " & (VarType(1.5) = vbDouble) & " " & (VarType(Nothing) = vbObject) & " " & (VarType(Array()) = vbArray + vbVariant) & " " & ((VarType(Array()) And vbArray) <> 0)
' expect: 0 1 2 3 4 5 6 7 8
' expect: 9 10 11 12 13 14 17 8192
' expect: True True True True True
' case: vbObjectError offsets the numbers of a script's own errors
On Error Resume Next
Err.Raise vbObjectError + 513
Test.Echo vbObjectError & " " & Err.Number & " " & (Err.Number - vbObjectError)
' expect: -2147221504 -2147220991 513
' case: the colour constants match RGB
Test.Echo vbBlack & " " & vbRed & " " & vbGreen & " " & vbYellow & " " & vbBlue & " " & vbMagenta & " " & vbCyan & " " & vbWhite
Test.Echo (vbRed = RGB(255, 0, 0)) & " " & (vbGreen = RGB(0, 255, 0)) & " " & (vbBlue = RGB(0, 0, 255)) & " " & (vbWhite = RGB(255, 255, 255)) & " " & (vbYellow = vbRed + vbGreen) & " " & (vbCyan = (vbGreen Or vbBlue)) & " " & (vbMagenta = (vbRed Or vbBlue))
' expect: 0 255 65280 65535 16711680 16711935 16776960 16777215
' expect: True True True True True True True
' case: constant names ignore case
Test.Echo (VBCRLF = vbCrLf) & " " & VBYESNO & " " & vbtextcompare & " " & VbTrue
' expect: True 4 1 -1
' case: constants pass as arguments and into procedures
Function Describe(compare)
  If compare = vbTextCompare Then Describe = "text" Else Describe = "binary"
End Function
Test.Echo Describe(vbTextCompare) & " " & Describe(vbBinaryCompare)
' expect: text binary
' case: constants choose the branch of a Select Case
For Each answer In Array(6, 7, 2)
  Select Case answer
    Case vbYes: Test.Echo "yes"
    Case vbNo: Test.Echo "no"
    Case Else: Test.Echo "other"
  End Select
Next
' expect: yes
' expect: no
' expect: other
' case: errors raised from vbObjectError keep their source and description
On Error Resume Next
Err.Raise vbObjectError + 1, "Reader", "no such line"
Test.Echo (Err.Number = vbObjectError + 1) & " " & Err.Source & " " & Err.Description
' expect: True Reader no such line
' case: the day and week constants drive the date functions
d = DateSerial(2021, 1, 1)
Test.Echo Weekday(d, vbMonday) & " " & WeekdayName(1, False, vbMonday) & " " & DatePart("ww", d, vbMonday, vbFirstFourDays) & " " & DatePart("ww", d, vbSunday, vbFirstJan1) & " " & DatePart("ww", d, vbSunday, vbFirstFullWeek)
' expect: 5 星期一 53 1 52
' case: the tristate constants drive FormatNumber
Test.Echo FormatNumber(-0.5, 1, vbFalse, vbTrue, vbFalse) & " " & FormatNumber(1234.5, 1, vbTrue, vbFalse, vbTrue) & " " & FormatNumber(0.5, 0, vbUseDefault)
' expect: (.5) 1,234.5 1
' case: VarType of every kind against its constant
Dim kinds
kinds = Array(Empty, Null, CInt(1), CLng(1), CSng(1), CDbl(1), CDate(1), "s", Nothing, True, Array())
names = Array(vbEmpty, vbNull, vbInteger, vbLong, vbSingle, vbDouble, vbDate, vbString, vbObject, vbBoolean, vbArray + vbVariant)
For i = 0 To UBound(kinds)
  If VarType(kinds(i)) <> names(i) Then Test.Echo "kind " & i & " is " & VarType(kinds(i))
Next
Test.Echo "checked " & (UBound(kinds) + 1)
' expect: checked 11
' case: line ends made of vbCr and vbLf normalise to one kind
s = "a" & vbCrLf & "b" & vbCr & "c" & vbLf & "d"
Test.Echo Len(Split(s, vbLf)(0)) & " " & UBound(Split(Replace(Replace(s, vbCrLf, vbLf), vbCr, vbLf), vbLf)) & " " & InStrRev(s, vbCr)
' expect: 2 3 5
' case: a table of vbTab-separated cells
row = Join(Array("name", "年", 3), vbTab)
cells = Split(row, vbTab)
Test.Echo Len(row) & " " & cells(1) & " " & (cells(2) + 1) & " " & Mid(row, InStr(row, vbTab) + 1, 1)
' expect: 8 年 4 年
' case: the colour constants split into red, green and blue bytes
Test.Echo (vbCyan And 255) & " " & ((vbCyan \ 256) And 255) & " " & (vbMagenta \ 65536) & " " & (vbYellow \ 65536) & " " & Hex(vbWhite) & " " & Hex(vbBlue)
' expect: 0 255 255 0 FFFFFF FF0000
' case: large flag and error constants in hexadecimal
Test.Echo Hex(vbMsgBoxRight) & " " & Hex(vbMsgBoxRtlReading) & " " & Hex(vbObjectError) & " " & Hex(vbSystemModal Or vbMsgBoxSetForeground)
' expect: 80000 100000 80040000 11000
