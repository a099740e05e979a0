' The interpreter takes short ways for common operand kinds (whole numbers,
' Doubles, texts) and for variables read where they are stored; these cases
' hold the places where a short way could part from the general rules.
'
' Row applies an operator to two values twice, through Eval: once to the
' variables x and y (read where they are stored), once to function results
' (read after a call), and prints the kind and value, or the error. A line
' with "/ called:" means the two ways differ. Bracketed puts the value in
' brackets, where blanks matter.
Dim Bracketed
Function Same(v)
    Same = v
End Function
Function Try(expr, x, y)
    On Error Resume Next
    Dim v
    v = Eval(expr)
    If Err.Number <> 0 Then
        Try = "error " & Err.Number
    ElseIf IsNull(v) Then
        Try = "Null"
    ElseIf Bracketed Then
        Try = TypeName(v) & " [" & v & "]"
    Else
        Try = TypeName(v) & " " & v
    End If
End Function
Sub Row(x, op, y)
    Dim stored, called
    stored = Try("x " & op & " y", x, y)
    called = Try("Same(x) " & op & " Same(y)", x, y)
    If stored = called Then Test.Echo stored Else Test.Echo stored & " / called: " & called
End Sub
' case: whole numbers at the Integer and Long limits
Row 181, "*", 181
Row 32767, "+", 1
Row -32768, "-", 1
Row 200, "*", 200
Row 32766, "+", CInt(1)
Row 1, "+", CLng(1)
Row 2147483647, "+", 1
Row -2147483647, "-", 2
Row 65536, "*", 65536
Row 2147483647, "-", -1
Row -7, "Mod", 3
Row 7, "Mod", -3
Row 2147483647, "Mod", 2
Row -32768, "\", -1
Row CLng(-2147483647) - 1, "\", -1
Row CLng(-2147483647) - 1, "Mod", -1
Row 7, "\", 0
Row 7, "Mod", 0
Row 7, "/", 2
Row 3, "^", 2
' expect: Integer 32761
' expect: Long 32768
' expect: Long -32769
' expect: Long 40000
' expect: Integer 32767
' expect: Long 2
' expect: Double 2147483648
' expect: Double -2147483649
' expect: Double 4294967296
' expect: Double 2147483648
' expect: Integer -1
' expect: Integer 1
' expect: Long 1
' expect: Long 32768
' expect: Double 2147483648
' expect: Long 0
' expect: error 11
' expect: error 11
' expect: Double 3.5
' expect: Double 9
' case: comparisons of whole numbers and Doubles
Row 32767, "<", 32768
Row CLng(5), "=", CInt(5)
Row 1, "=", 1.0
Row 2, "<", 2.5
Row 2.5, ">=", 3
Row -1, "<>", -1.0
Row 2147483647, "<=", 2147483648
Row 0.5, ">", 0.25
' expect: Boolean True
' expect: Boolean True
' expect: Boolean True
' expect: Boolean True
' expect: Boolean False
' expect: Boolean False
' expect: Boolean True
' expect: Boolean True
' case: Doubles with whole numbers, overflow, and operators the short ways leave alone
Row 1.5, "+", 1
Row 1, "-", 1.5
Row 2147483647, "+", 0.5
Row 0.5, "*", CLng(4)
Row 1E308, "*", 10
Row 1E308, "+", 1E308
Row -1E308, "-", 1E308
Row 5.5, "Mod", 3
Row 7.5, "\", 2
Row 1, "/", 0
Row 0, "/", 0
Row CSng(1.5), "+", 1
Row CSng(1.5), "+", CLng(1)
Row DateSerial(2000, 1, 2), "+", 1
Row DateSerial(2000, 1, 2), "-", DateSerial(2000, 1, 1)
' expect: Double 2.5
' expect: Double -0.5
' expect: Double 2147483647.5
' expect: Double 2
' expect: error 6
' expect: error 6
' expect: error 6
' expect: Long 0
' expect: Long 4
' expect: error 11
' expect: error 6
' expect: Single 2.5
' expect: Double 2.5
' expect: Date 2000/1/3
' expect: Double 1
' case: Empty, Null, Boolean and text operands
Bracketed = True
Row Empty, "+", 1
Row Empty, "*", 2.5
Row Empty, "+", Empty
Row Empty, "&", 1
Row Empty, "=", 0
Row Empty, "=", ""
Row Null, "+", 1
Row 1, "-", Null
Row Null, "Mod", 0
Row Null, "&", "a"
Row Null, "&", Null
Row Null, "=", 1
Row True, "+", 1
Row True, "+", CLng(1)
Row "1", "+", 2
Row "1", "+", "2"
Row "1", "+", Empty
Row "abc", "+", 1
Row 1, "-", "abc"
Row "a", "&", 1
Row 1, "&", "a"
Row "a", "&", -32768
Row "a", "&", 2147483647
Row CLng(-2147483647) - 1, "&", "a"
Row "a", "&", 1.5
Row "a", "&", True
Row 1, "&", 2
Row "", "&", ""
Row "x", "&", ""
Row "", "&", "y"
Row "10", "=", 10
Row 10, "<", "9"
Row "b", ">", "a"
' expect: Integer [1]
' expect: Double [0]
' expect: Integer [0]
' expect: String [1]
' expect: Boolean [True]
' expect: Boolean [True]
' expect: Null
' expect: Null
' expect: Null
' expect: String [a]
' expect: Null
' expect: Null
' expect: Integer [0]
' expect: Long [0]
' expect: Double [3]
' expect: String [12]
' expect: String [1]
' expect: error 13
' expect: error 13
' expect: String [a1]
' expect: String [1a]
' expect: String [a-32768]
' expect: String [a2147483647]
' expect: String [-2147483648a]
' expect: String [a1.5]
' expect: String [aTrue]
' expect: String [12]
' expect: String []
' expect: String [x]
' expect: String [y]
' expect: Boolean [False]
' expect: Boolean [True]
' expect: Boolean [True]
' case: a text compared with a literal number compares as a number
s = "10"
n = 9
Test.Echo (s = 10) & " " & (10 = s) & " " & (s > 9) & " " & (s > n) & " " & (n < s)
' expect: True True True True True
' case: the left operand is read before the right one runs code that changes it
Function Bump()
    x = 10
    s = "changed"
    Bump = 1
End Function
x = 1
Test.Echo x + Bump()
x = 1
Test.Echo x * 100 + Bump()
s = "a"
Test.Echo s & Bump()
' expect: 2
' expect: 101
' expect: a1
' case: a text grown in place: shared, by reference, as an array element, in a field
Sub AddTo(ByRef a, ByVal b)
    a = a & b
End Sub
Sub AddToCopy(ByVal a, ByVal b)
    a = a & b
End Sub
Class Box
    Public Text
    Sub Add(x)
        Text = Text & x
    End Sub
End Class
s = "s"
t = s
s = s & "1"
u = s
s = s & "2"
Test.Echo s & " " & t & " " & u
AddTo s, "3"
AddToCopy s, "4"
Test.Echo s
Dim a(1)
a(0) = "e"
a(0) = a(0) & "1"
b = a
a(0) = a(0) & "2"
AddTo a(0), "3"
Test.Echo a(0) & " " & b(0)
Set bx = New Box
bx.Text = "f"
bx.Add "1"
bx.Add 2
Test.Echo bx.Text
s = s & s
Test.Echo s
' expect: s12 s s1
' expect: s123
' expect: e123 e1
' expect: f12
' expect: s123s123
' case: a text grown in place from values of every kind
s = "v"
s = s & 1
s = s & CLng(70000)
s = s & -2
s = s & 1.5
s = s & True
s = s & Null
s = s & Empty
s = s & DateSerial(2000, 1, 2)
Test.Echo s & " " & TypeName(s)
n = 1
n = n & 2
Test.Echo n & " " & TypeName(n)
e = Empty
e = e & "x"
Test.Echo e
z = Null
z = z & Null
Test.Echo TypeName(z)
' expect: v170000-21.5True2000/1/2 String
' expect: 12 String
' expect: x
' expect: Null
' case: a text grown in place while the right side runs code that changes it
Function Change()
    s = "other"
    Change = "+"
End Function
Function Grow()
    s = s & "inner"
    Grow = "+"
End Function
Function Peek()
    Peek = "(" & s & ")"
End Function
Class Reader
    Public Default Property Get Value
        s = "from property"
        Value = "!"
    End Property
End Class
s = "a"
s = s & Change()
Test.Echo s
s = "b"
s = s & Grow()
Test.Echo s
s = "c"
s = s & Peek()
Test.Echo s
s = "d"
s = s & Eval("s")
Test.Echo s
Set r = New Reader
s = "e"
s = s & r
Test.Echo s
s = "f"
s = s & (r & "")
Test.Echo s
' expect: a+
' expect: b+
' expect: c(c)
' expect: dd
' expect: e!
' expect: f!
' case: a text grown in place keeps its value when the right side fails
On Error Resume Next
s = "a"
s = s & (1 / 0)
Test.Echo Err.Number & " " & s
Err.Clear
s = s & Test.Fail(5)
Test.Echo Err.Number & " " & s
' expect: 11 a
' expect: 5 a
' case: assignments to variables of every scope
Dim g
g = 1
Sub Set1()
    Dim l
    l = 2
    l = l + g
    g = l * 10
End Sub
Set1
Test.Echo g
Class Holder
    Public Value
    Sub Bump()
        Value = Value + 1
    End Sub
End Class
Set h = New Holder
h.Value = 41
h.Bump
Test.Echo h.Value
' expect: 30
' expect: 42
' case: a variable made a constant later cannot be assigned
c = 1
ExecuteGlobal "Const c = 2"
Test.Echo c
c = 3
' expect: 2
' expect error: 501 line 4
' case: an object let go by an assignment ends at once
Class Noisy
    Private Sub Class_Terminate()
        Test.Echo "gone"
    End Sub
End Class
Set o = New Noisy
o = 5
Test.Echo o
Sub Inner()
    Dim p
    Set p = New Noisy
    p = 1
    Test.Echo "after"
End Sub
Inner
' expect: gone
' expect: 5
' expect: gone
' expect: after
' case: For counters of Integer cross to Long, and Long to Double
For i = 32766 To 32768
    Test.Echo TypeName(i) & " " & i
Next
For i = -32767 To -32769 Step -1
    Test.Echo TypeName(i) & " " & i
Next
For i = 2147483646 To 2147483648
    Test.Echo TypeName(i) & " " & i
Next
Test.Echo TypeName(i) & " " & i
' expect: Integer 32766
' expect: Integer 32767
' expect: Long 32768
' expect: Integer -32767
' expect: Integer -32768
' expect: Long -32769
' expect: Long 2147483646
' expect: Long 2147483647
' expect: Double 2147483648
' expect: Double 2147483649
' case: For with Double and Long steps and starts of other kinds
For x = 0 To 1 Step 0.25
    Test.Echo TypeName(x) & " " & x
Next
For x = 1 To 2 Step 0.5
    Test.Echo TypeName(x) & " " & x
Next
For x = 0.5 To 2
    Test.Echo TypeName(x) & " " & x
Next
For x = 1 To 100000 Step CLng(50000)
    Test.Echo TypeName(x) & " " & x
Next
For x = "1" To 2
    Test.Echo TypeName(x) & " " & x
Next
For x = Empty To 1
    Test.Echo TypeName(x) & " " & x
Next
For x = True To 1
    Test.Echo TypeName(x) & " " & x
Next
' expect: Integer 0
' expect: Double 0.25
' expect: Double 0.5
' expect: Double 0.75
' expect: Double 1
' expect: Integer 1
' expect: Double 1.5
' expect: Double 2
' expect: Double 0.5
' expect: Double 1.5
' expect: Integer 1
' expect: Long 50001
' expect: Double 1
' expect: Double 2
' expect: Empty 
' expect: Integer 1
' expect: Boolean True
' expect: Integer 0
' expect: Integer 1
' case: a For counter changed inside the loop, and bounds read once
For i = 1 To 10
    i = i + 2
    Test.Echo i
Next
Test.Echo i
For i = 1 To 3
    i = i + 0.5
    Test.Echo TypeName(i) & " " & i
Next
For i = 1 To 3
    If i = 1 Then i = "2"
    Test.Echo TypeName(i) & " " & i
Next
n = 3
For i = 1 To n
    n = 1
    Test.Echo i
Next
' expect: 3
' expect: 6
' expect: 9
' expect: 12
' expect: 13
' expect: Double 1.5
' expect: Double 3
' expect: String 2
' expect: Double 3
' expect: 1
' expect: 2
' expect: 3
' case: a For counter overflowing a Double
For x = 1E308 To 1E308 Step 1E308
    Test.Echo x
Next
' expect: 1E+308
' expect error: 6
' case: a dictionary's default member with a missing key adds it as Empty
Set d = Test.NewDictionary()
d.Add "k1", 1
Test.Echo d("k1") + d("k1")
Test.Echo "[" & d("k2") & "] " & TypeName(d("k2")) & " " & d.Count
n = 0
For i = 1 To 3
    n = n + d("k" & i)
Next
Test.Echo n & " " & d.Count & " " & d.Exists("k3")
d("k1") = d("k1") + 10
Test.Echo d.Item("k1")
' expect: 2
' expect: [] Empty 2
' expect: 1 3 True
' expect: 11
' case: one call site reaching objects of different kinds
Class Counter
    Public Count
    Public Default Function Item(k)
        Item = "counter " & k
    End Function
End Class
Set d1 = Test.NewDictionary()
d1.Add "a", "first"
Set c = New Counter
c.Count = 7
Set d2 = Test.NewDictionary()
d2.Add "a", "second"
d2.Add "b", "third"
On Error Resume Next
For Each o In Array(d1, c, Test, d2, c)
    Err.Clear
    n = o.Count
    v = o("a")
    Test.Echo n & " " & v & " " & Err.Number
Next
' expect: 1 first 0
' expect: 7 counter a 0
' expect: 7 counter a 438
' expect: 2 second 0
' expect: 7 counter a 0
' case: host members by names of any case, and arguments changed in a loop
Set d = Test.NewDictionary()
d.ADD "x", 1
d.add "y", 2
Test.Echo d.COUNT & " " & d.exists("y") & " " & d.ITEM("x")
For i = 1 To 3
    x = i
    Test.Twice x
    Test.Echo x
Next
' expect: 2 True 1
' expect: 2
' expect: 4
' expect: 6
' case: built-ins called in a loop with arguments of every kind
s = ""
For i = 1 To 12
    s = s & Mid("abcdefghij", (i Mod 10) + 1, 1)
    If Len(s) <> i Then s = "wrong"
Next
Test.Echo s & " " & Len(s)
a = Array(s, s)
s = s & "!"
Test.Echo a(0) & " " & a(1) & " " & s
Test.Echo Mid(s, 13, 1) & Mid(s, 14, 1) & "|" & Left(s, 1) & Right(s, 1) & "|" & Mid("é€x", 1, 1) & Mid("é€x", 2, 1)
Test.Echo Len(Null) & "|" & Mid(Null, 1, 1) & "|" & Len(12345) & "|" & Len(Empty)
' expect: bcdefghijabc 12
' expect: bcdefghijabc bcdefghijabc bcdefghijabc!
' expect: !|b!|é€
' expect: ||5|0
' case: values lent to built-ins while a later argument runs code that changes them
Function Swap()
    s = "zzz"
    Swap = "b"
End Function
Function Keep()
    a = Empty
    Keep = 1
End Function
s = "abc"
Test.Echo InStr(s, Swap()) & " " & s
s = "abc"
Test.Echo Mid(s, Len(Swap())) & " " & s
a = Array("x", "y")
Test.Echo UBound(Array(a, Keep())) & " " & IsEmpty(a)
k = Array("lit", s)
s = s & "!"
Test.Echo k(0) & " " & k(1) & " " & s
' expect: 2 zzz
' expect: abc zzz
' expect: 1 True
' expect: lit zzz zzz!
