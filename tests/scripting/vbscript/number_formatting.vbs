' case: FormatNumber groups thousands with two decimals by default
Test.Echo FormatNumber(1234.567) & " " & FormatNumber(1234567.891, 2) & " " & FormatNumber(0) & " " & FormatNumber(-1234.5, 0) & " " & FormatNumber(12) & " " & TypeName(FormatNumber(1))
' expect: 1,234.57 1,234,567.89 0.00 -1,235 12.00 String
' case: FormatNumber rounds halves away from zero, unlike Round
Test.Echo FormatNumber(2.5, 0) & " " & FormatNumber(3.5, 0) & " " & Round(2.5) & " " & FormatNumber(-2.5, 0)
' expect: 3 4 2 -3
' case: FormatNumber with and without a leading zero
Test.Echo FormatNumber(0.5, 2, 0) & " " & FormatNumber(0.5, 2, -1) & " " & FormatNumber(0.5, 2, vbUseDefault) & " " & FormatNumber(-0.5, 2, vbFalse) & " " & FormatNumber(0.25, 1, vbTrue)
' expect: .50 0.50 0.50 -.50 0.3
' case: FormatNumber with parentheses around negative numbers
Test.Echo FormatNumber(-3, 1, , -1) & " " & FormatNumber(-3, 1, , 0) & " " & FormatNumber(-0.5, 2, 0, -1) & " " & FormatNumber(3, 1, , -1) & " " & FormatNumber(-1234, 0, , vbTrue)
' expect: (3.0) -3.0 (.50) 3.0 (1,234)
' case: FormatNumber with and without grouping
Test.Echo FormatNumber(1234, 0, , , 0) & " " & FormatNumber(1234567, 0, , , -1) & " " & FormatNumber(-1234.5, 1, , , vbFalse) & " " & FormatNumber(999, 0, , , -1)
' expect: 1234 1,234,567 -1234.5 999
' case: FormatNumber reads texts and Booleans, skipped arguments take their defaults
Test.Echo FormatNumber("12.5", 1) & " " & FormatNumber(True) & " " & FormatNumber(1.5, , , , 0) & " " & FormatNumber("1234", , , , 0)
' expect: 12.5 -1.00 1.50 1234.00
' case: FormatNumber of a text that is no number is a type mismatch
x = FormatNumber("abc")
' expect error: 13
' case: FormatPercent multiplies by 100 and adds the sign
Test.Echo FormatPercent(0.1234) & " " & FormatPercent(1) & " " & FormatPercent(0.5, 0) & " " & FormatPercent(12.345, 1) & " " & FormatPercent("0.25", 0)
' expect: 12.34% 100.00% 50% 1,234.5% 25%
' case: FormatPercent with leading zero, parentheses and grouping arguments
Test.Echo FormatPercent(0.005, 2, 0) & " " & FormatPercent(0.005, 2, -1) & " " & FormatPercent(-0.05, 1, , -1) & " " & FormatPercent(12.345, 1, , , 0) & " " & FormatPercent(-0.05, 1)
' expect: .50% 0.50% (5.0%) 1234.5% -5.0%
' case: FormatPercent of a text that is no number is a type mismatch
x = FormatPercent("abc")
' expect error: 13
' case: Doubles are written with up to 15 significant digits
Test.Echo 1.5 & " " & -1.5 & " " & 1 / 3 & " " & 2 / 3 & " " & 0.1 + 0.2 & " " & 100 * 1.1 & " " & 0.001 & " " & 3.0 & " " & 1E3
' expect: 1.5 -1.5 0.333333333333333 0.666666666666667 0.3 110 0.001 3 1000
' case: large and small Doubles switch to an exponent
Test.Echo 123456789012345 & " " & 1E15 & " " & 1E20 & " " & 2 ^ 53 & " " & -1E100 & " " & 1.5E-10
' expect: 123456789012345 1E+15 1E+20 9.00719925474099E+15 -1E+100 1.5E-10
' case: CStr and & write numbers the same way
For Each v In Array(1.25, 1 / 3, 1E20, 32768, -7, 2 ^ 53)
  If CStr(v) <> v & "" Then Test.Echo "differs: " & v
Next
Test.Echo "same"
' expect: same
' case: Singles are written with up to 7 significant digits
Test.Echo CSng(1 / 3) & " " & CSng(0.1) & " " & CSng(2.5) & " " & CSng(123456789)
' expect: 0.3333333 0.1 2.5 1.234568E+08
' case: whole-number arithmetic widens instead of overflowing
Test.Echo 32767 + 1 & " " & TypeName(32767 + 1) & " " & 2147483647 + 1 & " " & TypeName(2147483647 + 1) & " " & 100000 * 100000
' expect: 32768 Long 2147483648 Double 10000000000
' case: the result kinds of the arithmetic operators
Test.Echo 10 / 4 & " " & TypeName(10 / 5) & " " & 10 \ 4 & " " & TypeName(10 \ 4) & " " & 7 Mod 3 & " " & 2 ^ 10 & " " & TypeName(2 ^ 10) & " " & -7 \ 2 & " " & -7 Mod 3
' expect: 2.5 Double 2 Integer 1 1024 Double -3 -1
' case: hexadecimal and octal literals are written in decimal
Test.Echo &HFF & " " & &H8000 & " " & &H10000 & " " & &O17 & " " & TypeName(&HFF) & " " & TypeName(&H10000)
' expect: 255 -32768 65536 15 Integer Long
' case: numbers and texts meet through + and &
Test.Echo "10" + 5 & " " & "10" & 5 & " " & 5 & 5 & " " & "1.5" * 2 & " " & TypeName("10" + 5) & " " & "3" + "4"
' expect: 15 105 55 3 Double 34
' case: & writes Booleans, Null, Empty and dates as text
Test.Echo True & " " & False & " " & (Null & "a") & " " & (Empty & "b") & " " & DateSerial(2024, 3, 15) & " " & TypeName(1 & 2)
' expect: True False a b 2024/3/15 String
' case: + of a number and a text that is no number is a type mismatch
x = "a" + 5
' expect error: 13
' case: FormatNumber with more decimals rounds the last one
Test.Echo FormatNumber(1 / 3, 5) & " " & FormatNumber(2 / 3, 4) & " " & FormatNumber(1234567.5, 0) & " " & FormatNumber(-1, 1, vbUseDefault, vbUseDefault, vbUseDefault) & " " & FormatNumber(0.001, 2)
' expect: 0.33333 0.6667 1,234,568 -1.0 0.00
' case: the arithmetic kinds of Booleans and mixed numbers
Test.Echo True + True & " " & TypeName(True + True) & " " & TypeName(2 * 3) & " " & TypeName(2 + 0.5) & " " & TypeName(100000 + 1) & " " & TypeName(CSng(1) + 1) & " " & TypeName(CSng(1) + 0.5)
' expect: -2 Integer Integer Double Long Single Double
' case: \ and Mod round their operands half to even first
Test.Echo 7.5 \ 2 & " " & 6.5 \ 2 & " " & 5.5 Mod 4 & " " & 2.5 Mod 4 & " " & "9" \ "2" & " " & TypeName(7.5 \ 2)
' expect: 4 3 2 2 4 Long
' case: numbers inside Join and Split keep the language's text
Test.Echo Join(Array(1 / 3, 1E20, -0.5, 32768, CSng(0.1)), " ")
Test.Echo Split(1.25, ".")(1) & " " & UBound(Split(1E20, "E"))
' expect: 0.333333333333333 1E+20 -0.5 32768 0.1
' expect: 25 1
' case: dates and numbers convert into each other by serial
Test.Echo CDbl(#1/1/2000#) & " " & CDbl(#1/1/2000 6:00:00 PM#) & " " & CDate(36526.25) & " " & CLng(#12/31/1899#)
' expect: 36526 36526.75 2000/1/1 6:00:00 1
