' case: integer overflow promotes to Long, then to Double
Test.Echo TypeName(32767 + 1)
Test.Echo TypeName(2147483647 + 1)
Test.Echo TypeName(1 + 1)
Test.Echo -32768 - 1
' expect: Long
' expect: Double
' expect: Integer
' expect: -32769
' case: literals take the smallest kind that holds them
Test.Echo TypeName(32767)
Test.Echo TypeName(32768)
Test.Echo TypeName(3000000000)
Test.Echo TypeName(1.5)
Test.Echo &HFF & " " & &HFFFF & " " & &H10000 & " " & &O17
' expect: Integer
' expect: Long
' expect: Double
' expect: Double
' expect: 255 -1 65536 15
' case: precedence: negation before power, multiplication before integer division before Mod before addition
Test.Echo -2 ^ 2
Test.Echo 2 + 3 * 4
Test.Echo 7 \ 2 * 2
Test.Echo 10 Mod 4 + 1
Test.Echo 2 ^ 3 ^ 2
Test.Echo 1 + 2 & 3 + 4
' expect: 4
' expect: 14
' expect: 1
' expect: 3
' expect: 64
' expect: 37
' case: division always gives Double, integer division and Mod round their operands
Test.Echo TypeName(4 / 2) & " " & 4 / 2
Test.Echo 7.5 \ 2
Test.Echo -7 \ 2
Test.Echo -7 Mod 3
Test.Echo 5.5 Mod 3
' expect: Double 2
' expect: 4
' expect: -3
' expect: -1
' expect: 0
' case: division by zero
x = 1 / 0
' expect error: 11 line 1
' case: integer division by zero
x = 5 \ 0
' expect error: 11
' case: zero divided by zero overflows
x = 0 / 0
' expect error: 6
' case: plus on two strings concatenates, on a string and a number adds
Test.Echo "1" + "2"
Test.Echo "1" + 2
Test.Echo TypeName("1" + 2)
Test.Echo "a" & 1 & True
' expect: 12
' expect: 3
' expect: Double
' expect: a1True
' case: plus with a text that is no number
x = "abc" + 1
' expect error: 13
' case: Empty counts as zero or as empty text
Test.Echo x + 1
Test.Echo "[" & x & "]"
Test.Echo TypeName(x + x)
Test.Echo TypeName(-x)
' expect: 1
' expect: []
' expect: Integer
' expect: Integer
' case: Null propagates through arithmetic and comparison, not through &
Test.Echo Null + 1
Test.Echo Null = Null
Test.Echo "a" & Null & "b"
Test.Echo TypeName(Null & Null)
' expect: Null
' expect: Null
' expect: ab
' expect: Null
' case: logical operators on Booleans and bit patterns
Test.Echo True And False
Test.Echo True Or False
Test.Echo True Xor True
Test.Echo Not True
Test.Echo 12 And 10
Test.Echo 12 Or 3
Test.Echo Not 0
Test.Echo False Imp False
Test.Echo True Eqv False
' expect: False
' expect: True
' expect: False
' expect: False
' expect: 8
' expect: 15
' expect: -1
' expect: True
' expect: False
' case: Null in logical operators
Test.Echo Null And False
Test.Echo Null Or True
Test.Echo Null And True
Test.Echo Not Null
' expect: False
' expect: True
' expect: Null
' expect: Null
' case: comparisons of numbers, texts and mixed
Test.Echo 1 < 2
Test.Echo "a" < "b"
Test.Echo "B" < "a"
Test.Echo 10 = 10.0
s = "10"
Test.Echo s = 10
n = 10
Test.Echo n < s
Test.Echo "abc" <> "ABC"
' expect: True
' expect: True
' expect: True
' expect: True
' expect: True
' expect: True
' expect: True
' case: Boolean arithmetic gives Integers
Test.Echo True + True
Test.Echo TypeName(True + 1)
' expect: -2
' expect: Integer
' case: dates add days and subtract to a number of days
d = #1/2/2000#
Test.Echo TypeName(d + 1)
Test.Echo d + 1
Test.Echo #1/10/2000# - d
Test.Echo TypeName(#1/10/2000# - d)
Test.Echo #2000-01-02 06:00:00# - d
' expect: Date
' expect: 2000/1/3
' expect: 8
' expect: Double
' expect: 0.25
' case: doubles print with up to 15 digits and exponents
Test.Echo 0.1 + 0.2
Test.Echo 1E+20 * 10
Test.Echo 1 / 3
' expect: 0.3
' expect: 1E+21
' expect: 0.333333333333333
' case: Is compares object identity
Set a = Test.NewDictionary()
Set b = a
Set c = Test.NewDictionary()
Test.Echo a Is b
Test.Echo a Is c
Test.Echo Nothing Is Nothing
' expect: True
' expect: False
' expect: True
' case: Is needs objects
x = 1 Is 2
' expect error: 424
' case: a text doubled without end runs out of string space instead of memory
s = "x"
Do
    s = s & s
Loop
' expect error: 14
' case: a text grown in place keeps its value
s = "a"
For i = 1 To 3
    s = s & i
Next
t = s
s = s & "!"
Test.Echo s & " " & t
' expect: a123! a123
' case: an array too large to make
Dim big(100000, 100000)
' expect error: 7
