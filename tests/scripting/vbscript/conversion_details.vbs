' case: a text that is a number converts to a date as that many days
d = CDate("1")
Test.Echo Year(d) & "-" & Month(d) & "-" & Day(d) & " " & TypeName(d)
d = CDate(" 2.5 ")
Test.Echo Year(d) & "-" & Month(d) & "-" & Day(d) & " " & Hour(d)
On Error Resume Next
d = CDate("1e300")
Test.Echo Err.Number
Err.Clear
d = CDate("3000000")
Test.Echo Err.Number
On Error GoTo 0
' expect: 1899-12-31 Date
' expect: 1900-1-1 12
' expect: 6
' expect: 6
' case: Round keeps a Boolean
Test.Echo TypeName(Round(True)) & " " & Round(True) & " " & TypeName(Round(False))
' expect: Boolean True Boolean
' case: a Single and a Double compare at the Single's precision
Test.Echo CSng(0.001 * 0.001) = 0.000001
Test.Echo 0.000001 = CSng(0.001 * 0.001)
Test.Echo CSng(0.1) < 0.1
Test.Echo CDbl(CSng(0.1)) = 0.1
' expect: True
' expect: True
' expect: False
' expect: False
