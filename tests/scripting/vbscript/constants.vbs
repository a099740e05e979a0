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
