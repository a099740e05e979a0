' case: Property names a variable outside a class
Dim property : property = 5 : Test.Echo property
' expect: 5
' case: Property as a procedure's argument and a member of a class
Function Show(property)
    Show = property * 2
End Function
Class Holder
    Public Property
End Class
Set h = New Holder
h.Property = 3
Test.Echo Show(h.Property)
' expect: 6
' case: Property Get outside a class still needs a class
Property Get X
End Property
' expect error: 1048
