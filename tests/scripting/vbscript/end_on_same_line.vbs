' case: End Function right after the last statement
Function Seven() Seven = 7 End Function
Function Eight()
    Eight = 8 End Function
Test.Echo Seven() + Eight()
' expect: 15
' case: a whole Sub on one line
Sub Hi() Test.Echo "hi" End Sub
Hi
' expect: hi
' case: End If after a one-line If's Else
If 1 > 2 Then n = 1 Else n = 2 End If
Test.Echo n
If 1 < 2 Then n = 3 End If
Test.Echo n
' expect: 2
' expect: 3
' case: End If after the last statement of a block If
If True Then
    n = 4 End If
Test.Echo n
' expect: 4
' case: End without its word still fails
x = 1 End
' expect error: 1025
