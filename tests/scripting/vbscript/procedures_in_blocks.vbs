' case: a Sub declared inside an If that is never taken
If False Then
    Sub Greet() : Test.Echo "hello" : End Sub
End If
Greet
' expect: hello
' case: a Function declared inside a loop and called before it
Test.Echo Triple(3)
For i = 1 To 2
    Function Triple(n)
        Triple = n * 3
    End Function
Next
' expect: 9
' case: Exit For inside a procedure declared in a loop is not the loop's
For i = 1 To 2
    Sub Leave()
        Exit For
    End Sub
Next
' expect error: 1039
' case: a procedure inside a procedure is still an error
Sub Outer()
    If True Then
        Sub Inner()
        End Sub
    End If
End Sub
' expect error: 1024
