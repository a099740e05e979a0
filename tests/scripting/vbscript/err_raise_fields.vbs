' case: Err.Raise keeps the help file and help context it is given
On Error Resume Next
Err.Raise 1000, "Mine", "Broken", "help.chm", 42
Test.Echo Err.Number & " " & Err.Source & " " & Err.Description & " " & Err.HelpFile & " " & Err.HelpContext
' expect: 1000 Mine Broken help.chm 42
' case: a later Err.Raise keeps the fields it is not given
On Error Resume Next
Err.Raise 1000, "Mine", "Broken", "help.chm", 42
Err.Raise 5
Test.Echo Err.Number & " " & Err.Source & " " & Err.Description & " " & Err.HelpFile & " " & Err.HelpContext
Err.Clear
Err.Raise 5
Test.Echo Err.Number & " " & Err.Description & " [" & Err.HelpFile & "]"
' expect: 5 Mine Broken help.chm 42
' expect: 5 Invalid procedure call or argument []
' case: a runtime error leaves no help fields behind
On Error Resume Next
Err.Raise 1000, "Mine", "Broken", "help.chm", 42
Err.Clear
x = 1 / 0
Test.Echo Err.Number & " " & Err.Description & " [" & Err.HelpFile & "] " & Err.HelpContext
' expect: 11 Division by zero [] 0
' case: platform codes map to the language's numbers
On Error Resume Next
Err.Raise &H8007000E
Test.Echo Err.Number & " " & Err.Description
Err.Clear
Err.Raise &H800A000B
Test.Echo Err.Number & " " & Err.Description
Err.Clear
Err.Raise vbObjectError + 1, "Obj", "Own error"
Test.Echo (Err.Number = vbObjectError + 1) & " " & Err.Description
' expect: 7 Out of memory
' expect: 11 Division by zero
' expect: True Own error
' case: a number above 65535 that is no platform code is an invalid call
On Error Resume Next
Err.Raise 70000
Test.Echo Err.Number
' expect: 5
' case: a conversion function called as a procedure
Call CLng(1)
' expect error: 458
' case: a conversion function as a statement without Call
CStr 1
' expect error: 458
