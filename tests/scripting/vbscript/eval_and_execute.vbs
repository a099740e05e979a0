' case: Eval evaluates an expression with the script's names
x = 6
Test.Echo Eval("x * 7")
Test.Echo Eval("x = 6")
' expect: 42
' expect: True
' case: Execute runs statements; ExecuteGlobal defines globals and procedures
Execute "y = 5"
Test.Echo y
ExecuteGlobal "Function Triple(n) : Triple = n * 3 : End Function"
Test.Echo Triple(4)
' expect: 5
' expect: 12
' case: Execute inside a procedure sees its locals
Sub Run()
    Dim local1
    local1 = 2
    Execute "local1 = local1 + 40"
    Test.Echo local1
    Test.Echo Eval("local1 + 1")
End Sub
Run
' expect: 42
' expect: 43
' case: a syntax error in executed code is an error of the statement that ran it
Execute "x = = 1"
' expect error: 1023 line 1
' case: Eval of an unknown name with Option Explicit
Option Explicit
Dim r
r = Eval("nobody")
' expect error: 500
' case: ExecuteGlobal can declare a class used afterwards
ExecuteGlobal "Class Late : Public V : End Class"
Set o = New Late
o.V = "late"
Test.Echo o.V
' expect: late
