' case: a Function returns what is assigned to its name; a Sub is called with or without Call
Function Add(a, b)
    Add = a + b
End Function
Sub Show(text)
    Test.Echo text
End Sub
Show Add(1, 2)
Call Show("called")
Show ("parenthesised")
' expect: 3
' expect: called
' expect: parenthesised
' case: procedures may be used before they are written
Test.Echo Twice(4)
Function Twice(n)
    Twice = n * 2
End Function
' expect: 8
' case: arguments are passed by reference unless ByVal
Sub Change(ByRef a, ByVal b, c)
    a = a + 1
    b = b + 1
    c = c + 1
End Sub
x = 1 : y = 1 : z = 1
Change x, y, z
Test.Echo x & y & z
' expect: 212
' case: an argument in parentheses is passed by value
Sub Bump(a)
    a = a + 1
End Sub
x = 1
Bump (x)
Test.Echo x
Bump x
Test.Echo x
' expect: 1
' expect: 2
' case: an array element passed by reference is changed in place
Sub Bump(a)
    a = a * 10
End Sub
Dim arr(2)
arr(1) = 5
Bump arr(1)
Test.Echo arr(1)
' expect: 50
' case: a reference parameter passed on by reference reaches the first variable
Sub Inner(v)
    v = "inner"
End Sub
Sub Outer(v)
    Inner v
End Sub
s = "start"
Outer s
Test.Echo s
' expect: inner
' case: recursion, and the function's name without arguments is its result
Function Fact(n)
    If n <= 1 Then
        Fact = 1
    Else
        Fact = n * Fact(n - 1)
    End If
End Function
Function Accumulate()
    Accumulate = "a"
    Accumulate = Accumulate & "b"
End Function
Test.Echo Fact(10)
Test.Echo Accumulate()
' expect: 3628800
' expect: ab
' case: locals are separate from globals; undeclared names in a procedure are local
x = "global"
Sub Work()
    Dim x
    x = "local"
    y = "implicit"
End Sub
Work
Test.Echo x & "[" & y & "]"
' expect: global[]
' case: a procedure assigns globals it does not declare when they exist
counter = 0
Sub Count()
    counter = counter + 1
End Sub
Count : Count
Test.Echo counter
' expect: 2
' case: Exit Function and Exit Sub
Function FirstBig(limit)
    For i = 1 To 100
        If i * i > limit Then
            FirstBig = i
            Exit Function
        End If
    Next
    FirstBig = -1
End Function
Sub Early()
    Test.Echo "before"
    Exit Sub
    Test.Echo "after"
End Sub
Test.Echo FirstBig(50)
Early
' expect: 8
' expect: before
' case: wrong number of arguments
Sub Two(a, b)
End Sub
Two 1
' expect error: 450
' case: parentheses around several arguments of a Sub call
Sub Two(a, b)
End Sub
Two(1, 2)
' expect error: 1044
' case: runaway recursion ends with out of stack space
Function Deep(n)
    Deep = Deep(n + 1)
End Function
x = Deep(1)
' expect error: 28
' case: GetRef gives an object whose default member calls the procedure
Function Square(n)
    Square = n * n
End Function
Set f = GetRef("Square")
Test.Echo f(7)
Test.Echo Test.CallDefault(f, 3)
' expect: 49
' expect: 9
' case: GetRef of an unknown name
Set f = GetRef("NoSuchThing")
' expect error: 5
' case: calling an undefined Sub
NoSuchSub 1
' expect error: 13
' case: recursion through tall expressions also ends with out of stack space
Function Deep(n)
    Deep = ((((((((((((((((((((((((((((((((((((((((Deep(n + 1)))))))))))))))))))))))))))))))))))))))))
End Function
x = Deep(1)
' expect error: 28
' case: recursion a few hundred calls deep is fine
Function Sum(n)
    If n = 0 Then
        Sum = 0
    Else
        Sum = n + Sum(n - 1)
    End If
End Function
Test.Echo Sum(500)
' expect: 125250
