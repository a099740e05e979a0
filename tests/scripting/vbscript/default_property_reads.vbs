Class Box
    Public Default Property Get Value
        Value = 2.5
    End Property
End Class
Class Label
    Public Default Property Get Text
        Text = "12"
    End Property
End Class
Class Plain
    Public Value
End Class
' case: conversions read an object through its default property
Set b = New Box
Test.Echo CBool(b) & " " & CDbl(b) & " " & CInt(b) & " " & CLng(b) & " " & CSng(b) & " " & CStr(b)
Test.Echo Fix(b) & " " & Int(b) & " " & Abs(b) & " " & Round(b) & " " & Sgn(b)
Test.Echo CByte(b) & " " & TypeName(CByte(b)) & " " & CCur(b) & " " & TypeName(CCur(b))
' expect: True 2.5 2 2 2.5 2.5
' expect: 2 2 2.5 2 1
' expect: 2 Byte 2.5 Currency
' case: text and number functions read it too
Set l = New Label
Test.Echo Hex(l) & " " & Oct(l) & " " & IsNumeric(l) & " " & Len(l) & " " & Left(l, 1) & " " & UCase(l)
Test.Echo FormatNumber(l, 1) & " " & Mid(l, 2) & " " & InStr(l, "2") & " " & Chr(l + 53)
' expect: C 14 True 2 1 12
' expect: 12.0 2 2 A
' case: If and the functions that look at the object itself
Set b = New Box
If b Then Test.Echo "true"
Test.Echo TypeName(b) & " " & IsObject(b) & " " & IsEmpty(b) & " " & IsNull(b)
' expect: true
' expect: Box True False False
' case: an object without a default property is no number
Set p = New Plain
x = CLng(p)
' expect error: 438
' case: Nothing is no number
x = CLng(Nothing)
' expect error: 91
