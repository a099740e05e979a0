' case: an incomplete expression
x = 1 +
' expect error: 1023 line 1
' case: a statement that is none
x = 1
)
' expect error: 1024 line 2
' case: text after a complete statement
x = 1 2
' expect error: 1025
' case: an unterminated string
x = "abc
' expect error: 1033
' case: If without End If
If True Then
x = 1
' expect error: 1014
' case: For without Next
For i = 1 To 2
x = 1
' expect error: 1020
' case: Next without For
Next
' expect error: 1055
' case: Loop without Do
Loop
' expect error: 1038
' case: Exit For outside a loop
Exit For
' expect error: 1039
' case: an invalid character
x = 1 ?
' expect error: 1032
' case: Then missing
If x = 1
End If
' expect error: 1017
' case: Property outside a class
Property Get P()
End Property
' expect error: 1048
' case: a procedure name used twice with a variable
Dim Dup
Sub Dup()
End Sub
' expect error: 1041
' case: nothing of a script with a syntax error runs
Test.Echo "first"
x = (1
' expect error: 1006 line 2
' case: an expression too tall to read
x = 1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1
' expect error: 28
' case: nesting too deep to read
x = ((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((1))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))
' expect error: 28
