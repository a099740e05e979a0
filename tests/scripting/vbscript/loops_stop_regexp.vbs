' case: after a completed For Each over a collection the variable is Empty
Set d = Test.NewDictionary()
d.Add "a", 1
d.Add "b", 2
For Each k In d
Next
Test.Echo TypeName(k)
' expect: Empty
' case: For Each left by Exit For keeps the variable
Set d = Test.NewDictionary()
d.Add "a", 1
d.Add "b", 2
For Each k In d
    Exit For
Next
Test.Echo k
' expect: a
' case: Stop does nothing
Test.Echo 1
Stop
Test.Echo 2
' expect: 1
' expect: 2
' case: New RegExp makes the built-in object even beside a class of that name
Class RegExp
    Public Pattern
End Class
Set r = New RegExp
r.Pattern = "b+"
Test.Echo r.Test("abbc")
' expect: True
