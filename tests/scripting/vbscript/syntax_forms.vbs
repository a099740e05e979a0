' case: several statements on a line and a declaration with its value
Dim x : x = 5 : Test.Echo x
' expect: 5
' case: a call statement whose first argument starts with a parenthesis
Sub Show2(a, b)
    Test.Echo a & b
End Sub
Test.Echo (1 + 2) * 3
Show2 (1), 2
' expect: 9
' expect: 12
' case: Call with a member and its argument list
Call Test.Echo("called")
' expect: called
' case: doubled quotes inside a text
Test.Echo "say ""hi"""
' expect: say "hi"
' case: Not binds looser than Is and comparisons
Set o = Test.NewDictionary()
If Not o Is Nothing Then Test.Echo "has"
If Not 1 = 2 Then Test.Echo "differs"
' expect: has
' expect: differs
' case: a For loop with a fractional step
For v = 0 To 1 Step 0.25
    Test.Echo v
Next
' expect: 0
' expect: 0.25
' expect: 0.5
' expect: 0.75
' expect: 1
' case: member chains through script objects
Class Inner
    Public Value
End Class
Class Outer
    Public Child
    Private Sub Class_Initialize()
        Set Child = New Inner
    End Sub
End Class
Set o = New Outer
o.Child.Value = "deep"
With o.Child
    Test.Echo .Value
End With
' expect: deep
' case: keywords as member names and context words as variables
Set d = Test.NewDictionary()
d.Add "k", 1
Test.Echo d.Item("k")
step = 3
Test.Echo step
' expect: 1
' expect: 3
' case: an error names the line of its statement
x = 1
y = 2
z = x / 0
' expect error: 11 line 3
' case: an Exit Do inside While is no loop exit
While True
    Exit Do
Wend
' expect error: 1039
' case: a one-line If followed by more lines
If True Then x = 1
Test.Echo x
If False Then x = 2
Test.Echo x
' expect: 1
' expect: 1
' case: names compare without regard to case
Dim Value
VALUE = "v"
Test.Echo value
TEST.ECHO "shouting"
' expect: v
' expect: shouting
' case: a default Function of a class
Class Greeter
    Public Default Function Greet(name)
        Greet = "hello " & name
    End Function
End Class
Set g = New Greeter
Test.Echo g("you")
' expect: hello you
' case: two default members
Class Twice
    Public Default Function A()
    End Function
    Public Default Function B()
    End Function
End Class
' expect error: 1041
