' case: small named constants are Integers
For Each c In Array(vbSunday, vbSaturday, vbOK, vbNo, vbEmpty, vbArray, vbUseDefault, vbTextCompare, vbFirstJan1, vbShortTime, vbByte, vbTrue)
    s = s & TypeName(c) & " "
Next
Test.Echo Trim(s)
' expect: Integer Integer Integer Integer Integer Integer Integer Integer Integer Integer Integer Integer
' case: colour and flag constants stay Long
For Each c In Array(vbRed, vbWhite, vbOKOnly, vbYesNo, vbCritical, vbSystemModal, vbObjectError)
    s = s & TypeName(c) & " "
Next
Test.Echo Trim(s)
' expect: Long Long Long Long Long Long Long
' case: arithmetic on Integer constants overflows to Long as Integers do
Test.Echo TypeName(vbArray * 4) & " " & vbArray * 4
' expect: Long 32768
