' case: If, ElseIf, Else
For i = 1 To 3
    If i = 1 Then
        Test.Echo "one"
    ElseIf i = 2 Then
        Test.Echo "two"
    Else
        Test.Echo "many"
    End If
Next
' expect: one
' expect: two
' expect: many
' case: one-line If with Else and colon-separated statements
x = 5
If x > 3 Then Test.Echo "big" : Test.Echo "still" Else Test.Echo "small"
If x < 3 Then Test.Echo "big" Else Test.Echo "small" : Test.Echo "after"
' expect: big
' expect: still
' expect: small
' expect: after
' case: a Null condition counts as False
If Null Then Test.Echo "yes" Else Test.Echo "no"
' expect: no
' case: Select Case with lists, ranges, Is and Else
For Each v In Array(1, 5, 12, 40, "x")
    Select Case v
        Case 1, 2
            Test.Echo "small"
        Case 3 To 10
            Test.Echo "middle"
        Case "x"
            Test.Echo "text"
        Case Is > 30
            Test.Echo "huge"
        Case Else
            Test.Echo "other"
    End Select
Next
' expect: small
' expect: middle
' expect: other
' expect: huge
' expect: text
' case: For with Step, negative Step, and the counter after the loop
For i = 1 To 10 Step 4
    Test.Echo i
Next
For j = 3 To 1 Step -1
    Test.Echo j
Next
Test.Echo i & " " & j
' expect: 1
' expect: 5
' expect: 9
' expect: 3
' expect: 2
' expect: 1
' expect: 13 0
' case: a For loop whose range is empty does not run
For i = 5 To 1
    Test.Echo "ran"
Next
Test.Echo i
' expect: 5
' case: Exit For leaves only the innermost loop
For i = 1 To 3
    For j = 1 To 3
        If j = 2 Then Exit For
        Test.Echo i & "," & j
    Next
Next
' expect: 1,1
' expect: 2,1
' expect: 3,1
' case: Do While, Do Until, Loop While, Loop Until
i = 0
Do While i < 3
    i = i + 1
Loop
Test.Echo i
Do Until i = 0
    i = i - 1
Loop
Test.Echo i
Do
    i = i + 10
Loop While i < 5
Test.Echo i
Do
    i = i + 1
Loop Until True
Test.Echo i
' expect: 3
' expect: 0
' expect: 10
' expect: 11
' case: Exit Do inside a For inside a Do
n = 0
Do
    For k = 1 To 5
        n = n + 1
        If n = 7 Then Exit Do
    Next
Loop
Test.Echo n
' expect: 7
' case: While Wend
i = 0
While i < 4
    i = i + 2
Wend
Test.Echo i
' expect: 4
' case: For Each over an array, a dictionary and a multi-dimensional array
For Each x In Array("a", "b")
    Test.Echo x
Next
Set d = Test.NewDictionary()
d.Add "k1", 1
d.Add "k2", 2
For Each k In d
    Test.Echo k & "=" & d(k)
Next
Dim m(1, 1)
m(0, 0) = 1 : m(1, 0) = 2 : m(0, 1) = 3 : m(1, 1) = 4
s = ""
For Each x In m
    s = s & x
Next
Test.Echo s
' expect: a
' expect: b
' expect: k1=1
' expect: k2=2
' expect: 1234
' case: For Each over something that is no collection
For Each x In 5
Next
' expect error: 451
' case: With reaches the members of its object
Set d = Test.NewDictionary()
With d
    .Add "a", 1
    .Add "b", 2
    Test.Echo .Count
    With Test
        .Echo "inner"
    End With
    Test.Echo .Item("b")
End With
' expect: 2
' expect: inner
' expect: 2
' case: line continuation, comments and Rem
x = 1 + _
    2 ' a comment
Rem a remark
Test.Echo x : Rem another
' expect: 3
' case: bracketed identifiers
[my var] = 5
Test.Echo [my var] + 1
' expect: 6
' case: Option Explicit makes undeclared names an error
Option Explicit
Dim a
a = 1
b = 2
' expect error: 500 line 4
' case: Option Explicit accepts declared names and constants
Option Explicit
Dim a, b(2)
Const Limit = 10, Name = "x"
a = Limit
b(2) = Name
Test.Echo a & b(2)
' expect: 10x
' case: a constant cannot be assigned
Const Limit = 10
Limit = 5
' expect error: 501
' case: Dim, ReDim and ReDim Preserve
Dim a()
ReDim a(2)
a(0) = "x" : a(2) = "z"
ReDim Preserve a(4)
Test.Echo UBound(a) & a(0) & a(2) & "[" & a(4) & "]"
ReDim a(1)
Test.Echo "[" & a(0) & "]"
ReDim g(2, 3)
Test.Echo UBound(g, 1) & UBound(g, 2)
ReDim Preserve g(2, 5)
Test.Echo UBound(g, 2)
' expect: 4xz[]
' expect: []
' expect: 23
' expect: 5
' case: arrays are values: assignment copies
a = Array(1, 2)
b = a
b(0) = 9
Test.Echo a(0) & b(0)
' expect: 19
' case: an index out of range
Dim a(2)
a(3) = 1
' expect error: 9
' case: indexing a value that is no array
x = 5
Test.Echo x(1)
' expect error: 13
' case: a loop that never ends is stopped by the step limit
Do
Loop
' expect error: 5022
' case: ReDim declares under Option Explicit, at the top and in a procedure
Option Explicit
ReDim top(1)
top(1) = "t"
Sub Fill()
    ReDim inner(2)
    inner(2) = "i"
    top(0) = inner(2)
End Sub
Fill
Test.Echo top(0) & top(1)
' expect: it
