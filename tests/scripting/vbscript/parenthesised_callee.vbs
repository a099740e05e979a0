Function Twice(n)
    Twice = n * 2
End Function
Sub Bump(a)
    a(0) = a(0) + 1
End Sub
' case: a parenthesised function name takes an argument list
y = (Twice)(4)
Test.Echo y
' expect: 8
' case: a parenthesised array takes an index
a = Array(7, 8)
y = ((a))(1)
Test.Echo y
' expect: 8
' case: Call with a parenthesised procedure name
a = Array(1, 2)
Call (Bump)(a)
Test.Echo a(0)
' expect: 2
