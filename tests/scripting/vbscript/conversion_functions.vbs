' case: conversions keep the language's kinds
Test.Echo TypeName(CInt("12")) & " " & TypeName(CLng(12)) & " " & TypeName(CDbl(1)) & " " & TypeName(CStr(1))
Test.Echo Round(2.5) & " " & Round(3.5) & " " & Int(-1.5) & " " & Fix(-1.5)
Test.Echo Hex(255) & " " & Oct(8) & " " & Asc("A") & " " & Chr(66)
Test.Echo TypeName(CSng(1)) & " " & TypeName(CBool(1)) & " " & TypeName(CDate(1))
' expect: Integer Long Double String
' expect: 2 4 -2 -1
' expect: FF 10 65 B
' expect: Single Boolean Date
' case: a conversion error is catchable and keeps its number
On Error Resume Next
x = CInt("12abc")
Test.Echo Err.Number
Err.Clear
x = CInt(40000)
Test.Echo Err.Number
' expect: 13
' expect: 6
' case: CStr writes numbers, Booleans and Empty
Test.Echo CStr(5) & "|" & CStr(True) & "|" & CStr(False) & "|" & CStr(Empty) & "|" & CStr(1.5) & "|" & CStr(-0.5) & "|" & CStr("x")
' expect: 5|True|False||1.5|-0.5|x
' case: CStr of Null is an invalid use of Null
x = CStr(Null)
' expect error: 94
' case: CInt rounds half to even and reads texts
Test.Echo CInt(2.5) & " " & CInt(3.5) & " " & CInt(-2.5) & " " & CInt(" 12 ") & " " & CInt("&H10") & " " & CInt(True) & " " & CInt(Empty) & " " & CInt(-32768.5)
' expect: 2 4 -2 12 16 -1 0 -32768
' case: CInt past 32767 overflows
x = CInt(32768)
' expect error: 6
' case: CInt below -32768 overflows
x = CInt(-32769)
' expect error: 6
' case: CInt of Null is an invalid use of Null
x = CInt(Null)
' expect error: 94
' case: CLng rounds half to even and reads hexadecimal
Test.Echo CLng(2.5) & " " & CLng(3.5) & " " & CLng("&H10") & " " & CLng(-2147483648) & " " & TypeName(CLng("7"))
' expect: 2 4 16 -2147483648 Long
' case: CLng past 2147483647 overflows
x = CLng(2147483648)
' expect error: 6
' case: CDbl and CSng read texts
Test.Echo CDbl("1e3") & " " & CDbl(" 2.5 ") & " " & CDbl(True) & " " & CSng(1.5) & " " & CSng(0.1) & " " & TypeName(CDbl("3"))
' expect: 1000 2.5 -1 1.5 0.1 Double
' case: CDbl of a text that is no number is a type mismatch
x = CDbl("x")
' expect error: 13
' case: CBool reads numbers and the words True and False
Test.Echo CBool("true") & " " & CBool("False") & " " & CBool("1") & " " & CBool(0) & " " & CBool(-0.5) & " " & CBool(Empty) & " " & CBool(2)
' expect: True False True False True False True
' case: CBool of other text is a type mismatch
x = CBool("abc")
' expect error: 13
' case: CBool of Null is an invalid use of Null
x = CBool(Null)
' expect error: 94
' case: CByte rounds half to even within 0 to 255
Test.Echo CByte(254.5) & " " & CByte(253.5) & " " & CByte("7") & " " & CByte(True = False)
' expect: 254 254 7 0
' case: CByte past 255 overflows
x = CByte(255.5)
' expect error: 6
' case: CByte below 0 overflows
x = CByte(-1)
' expect error: 6
' case: CDate reads dates and serials
Test.Echo CDate("2024-03-15") & " " & CDbl(CDate("2024-03-15")) & " | " & CDate(45366.5) & " | " & (CDate("2024-03-15") = DateSerial(2024, 3, 15))
' expect: 2024/3/15 45366 | 2024/3/15 12:00:00 | True
' case: CDate of a text that is no date is a type mismatch
x = CDate("abc")
' expect error: 13
' case: CDate of Null is an invalid use of Null
x = CDate(Null)
' expect error: 94
' case: CCur keeps four decimals
Test.Echo CCur(1.23456) & " " & CCur("2.5") & " " & CCur(1) / 4
' expect: 1.2346 2.5 0.25
' case: CCur past its range overflows
x = CCur(1E20)
' expect error: 6
' case: Int rounds down, Fix towards zero, both keep the kind
Test.Echo Int(-2.5) & " " & Fix(-2.5) & " " & Int(2.7) & " " & Fix(2.7) & " " & Int("2.7") & " " & TypeName(Int("2.7")) & " " & TypeName(Int(5)) & " " & Int(Empty) & " " & IsNull(Int(Null)) & " " & IsNull(Fix(Null))
' expect: -3 -2 2 2 2 Double Integer 0 True True
' case: Int of a text that is no number is a type mismatch
x = Int("x")
' expect error: 13
' case: Abs and Sgn
Test.Echo Abs(-2.5) & " " & Abs("-3") & " " & Abs(CInt(-32768)) & " " & TypeName(Abs(CInt(-32768))) & " " & IsNull(Abs(Null))
Test.Echo Abs(Empty) & " " & TypeName(Abs(Empty)) & " " & TypeName(Sgn(1.5)) & " " & TypeName(Fix(2.5)) & " " & TypeName(Int(CLng(5))) & " " & TypeName(Abs(-1.5))
Test.Echo Sgn(-3) & " " & Sgn(0) & " " & Sgn("5") & " " & Sgn(-0.001)
' expect: 2.5 3 32768 Long True
' expect: 0 Integer Integer Double Long Double
' expect: -1 0 1 -1
' case: Round rounds half to even, to a number of decimals
Test.Echo Round(0.5) & " " & Round(1.5) & " " & Round(2.5) & " " & Round(-2.5) & " " & Round(-3.5) & " " & Round("2.5")
Test.Echo Round(1.23456, 3) & " " & Round(0.125, 2) & " " & Round(0.375, 2) & " " & Round(1234.5, 0) & " " & TypeName(Round(7))
' expect: 0 2 2 -2 -4 2
' expect: 1.235 0.12 0.38 1234 Integer
' case: Round to fewer than no decimals is an invalid call
x = Round(2.5, -1)
' expect error: 5
' case: Sqr, Exp and Log
Test.Echo Sqr(16) & " " & (Abs(Sqr(2) * Sqr(2) - 2) < 1E-14) & " " & Exp(0) & " " & Log(1) & " " & Round(Log(Exp(2)), 12) & " " & Round(Exp(1), 5)
' expect: 4 True 1 0 2 2.71828
' case: Sqr of a negative number is an invalid call
x = Sqr(-1)
' expect error: 5
' case: Log of zero is an invalid call
x = Log(0)
' expect error: 5
' case: Exp past the largest Double overflows
x = Exp(1000)
' expect error: 6
' case: Sin, Cos, Tan and Atn
pi = 4 * Atn(1)
Test.Echo pi
Test.Echo Sin(0) & " " & Cos(0) & " " & Tan(0) & " " & Atn(0) & " " & Round(Sin(pi / 2), 12) & " " & Round(Cos(pi), 12) & " " & Round(Tan(pi / 4), 12)
' expect: 3.14159265358979
' expect: 0 1 0 0 1 -1 1
' case: Rnd gives Singles from 0 up to 1
Randomize
inRange = True
For i = 1 To 200
  r = Rnd
  If r < 0 Or r >= 1 Then inRange = False
Next
Test.Echo inRange & " " & TypeName(Rnd) & " " & TypeName(Rnd())
' expect: True Single Single
' case: Rnd of a negative number repeats, Rnd(0) gives the last number again
a = Rnd(-5)
b = Rnd(-5)
Test.Echo a = b
x = Rnd
Test.Echo Rnd(0) = x
' expect: True
' expect: True
' case: Randomize with a seed after Rnd(-1) repeats the sequence
x = Rnd(-1)
Randomize 10
first = Rnd & " " & Rnd & " " & Rnd
x = Rnd(-1)
Randomize 10
second = Rnd & " " & Rnd & " " & Rnd
Test.Echo first = second
' expect: True
' case: IsNumeric reads texts as numbers
Test.Echo IsNumeric("1e3") & " " & IsNumeric("&H10") & " " & IsNumeric(" 12 ") & " " & IsNumeric("-1.5") & " " & IsNumeric("12abc") & " " & IsNumeric("")
Test.Echo IsNumeric(Empty) & " " & IsNumeric(Null) & " " & IsNumeric(True) & " " & IsNumeric(DateSerial(2024, 1, 1)) & " " & IsNumeric(Array(1)) & " " & IsNumeric(3.5)
' expect: True True True True False False
' expect: True False True False False True
' case: IsDate reads texts as dates
Test.Echo IsDate("2024-1-5") & " " & IsDate("2024-13-5") & " " & IsDate("12:30") & " " & IsDate("abc") & " " & IsDate(45000) & " " & IsDate(CDate(45000)) & " " & IsDate(Null)
' expect: True False True False False True False
' case: IsEmpty, IsNull, IsObject and IsArray
Dim fixed(2), dynamic()
Test.Echo IsEmpty(neverAssigned) & " " & IsEmpty("") & " " & IsEmpty(0) & " " & IsEmpty(Null)
Test.Echo IsNull(Null) & " " & IsNull(Empty) & " " & IsNull("") & " " & IsNull(Null & "")
Set nothingHere = Nothing
Test.Echo IsObject(Nothing) & " " & IsObject(nothingHere) & " " & IsObject(Test) & " " & IsObject("x") & " " & IsObject(Empty)
Test.Echo IsArray(Array()) & " " & IsArray(fixed) & " " & IsArray(dynamic) & " " & IsArray(Split("a b")) & " " & IsArray("x") & " " & IsArray(fixed(0))
' expect: True False False False
' expect: True False False False
' expect: True True True False False
' expect: True True True True False False
' case: VarType gives the number of each kind
Test.Echo VarType(Empty) & " " & VarType(Null) & " " & VarType(1) & " " & VarType(100000) & " " & VarType(CSng(1)) & " " & VarType(1.5) & " " & VarType(CDate(1))
Test.Echo VarType("") & " " & VarType(Nothing) & " " & VarType(True) & " " & VarType(Array())
' expect: 0 1 2 3 4 5 7
' expect: 8 9 11 8204
' case: TypeName names each kind
Dim arr(1)
Test.Echo TypeName(Empty) & " " & TypeName(Null) & " " & TypeName(32767) & " " & TypeName(32768) & " " & TypeName(CSng(1)) & " " & TypeName(1.5) & " " & TypeName(CDate(1))
Test.Echo TypeName("") & " " & TypeName(False) & " " & TypeName(Nothing) & " " & TypeName(arr) & " " & TypeName(Test) & " " & TypeName(CInt(-32768))
' expect: Empty Null Integer Long Single Double Date
' expect: String Boolean Nothing Variant() TestHost Integer
