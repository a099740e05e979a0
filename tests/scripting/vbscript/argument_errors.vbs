Function ErrorOf(code)
    On Error Resume Next
    Execute code
    ErrorOf = Err.Number
End Function
' case: Null and bad arguments raise the platform's numbers
Test.Echo ErrorOf("x = Sgn(Null)")
Test.Echo ErrorOf("x = FormatNumber(Null)")
Test.Echo ErrorOf("x = FormatCurrency(Null)")
Test.Echo ErrorOf("x = FormatPercent(Null)")
Test.Echo ErrorOf("x = FormatDateTime(Null)")
Test.Echo ErrorOf("x = Mid(""test"", ""a"", Null)")
Test.Echo ErrorOf("x = Mid(""test"", Null)")
Test.Echo ErrorOf("x = Randomize(0)")
Test.Echo ErrorOf("x = Randomize")
Test.Echo ErrorOf("Randomize 0")
' expect: 94
' expect: 13
' expect: 13
' expect: 13
' expect: 13
' expect: 94
' expect: 94
' expect: 13
' expect: 13
' expect: 0
' case: positions out of range are invalid calls
Test.Echo ErrorOf("x = InStrRev(""abc"", ""b"", 0)")
Test.Echo ErrorOf("x = InStrRev(""abc"", ""b"", -2)")
Test.Echo ErrorOf("x = Right(""abc"", -1)")
Test.Echo ErrorOf("x = Mid(""abc"", 0)")
Test.Echo ErrorOf("x = Mid(""abc"", 1, -1)")
Test.Echo ErrorOf("x = MonthName(0)")
Test.Echo ErrorOf("x = MonthName(13)")
Test.Echo ErrorOf("x = MonthName(""a"")")
Test.Echo ErrorOf("x = MonthName(Null)")
' expect: 5
' expect: 5
' expect: 5
' expect: 5
' expect: 5
' expect: 5
' expect: 5
' expect: 13
' expect: 94
