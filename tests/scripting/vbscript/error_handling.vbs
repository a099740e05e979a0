' case: On Error Resume Next continues after a failing statement and fills Err
On Error Resume Next
x = 1 / 0
Test.Echo "went on"
Test.Echo Err.Number
Test.Echo Err.Description
Test.Echo Err.Source
number = Err
Test.Echo number
' expect: went on
' expect: 11
' expect: Division by zero
' expect: Microsoft VBScript runtime error
' expect: 11
' case: Err.Clear and On Error GoTo 0
On Error Resume Next
x = 1 / 0
Err.Clear
Test.Echo Err.Number
On Error GoTo 0
x = 1 / 0
Test.Echo "never"
' expect: 0
' expect error: 11 line 6
' case: Err.Raise with own source and description, which a later Raise keeps
On Error Resume Next
Err.Raise 1000, "Mine", "Something broke"
Test.Echo Err.Number & "|" & Err.Source & "|" & Err.Description
Err.Raise 9
Test.Echo Err.Number & "|" & Err.Description
' expect: 1000|Mine|Something broke
' expect: 9|Something broke
' case: an error raised and not handled ends the run
Err.Raise 5
' expect error: 5
' case: an error in a procedure without a handler goes to the caller's handler
Sub Fails()
    x = 1 / 0
    Test.Echo "not here"
End Sub
On Error Resume Next
Fails
Test.Echo "caller goes on " & Err.Number
' expect: caller goes on 11
' case: a handler in a procedure ends with the procedure
Sub Guarded()
    On Error Resume Next
    x = 1 / 0
    Test.Echo "guarded " & Err.Number
End Sub
Guarded
x = 1 / 0
' expect: guarded 11
' expect error: 11 line 7
' case: host errors reach Err with their numbers
On Error Resume Next
Test.Fail 438
Test.Echo Err.Number
Err.Clear
Test.NoSuchMember
Test.Echo Err.Number
' expect: 438
' expect: 438
' case: the error line is where the statement stands
a = 1
b = 2
c = a / 0
' expect error: 11 line 3
' case: an error in a procedure reports the line inside it
Sub Bad()
    Dim z
    z = "x" * 2
End Sub
Bad
' expect error: 13 line 3
' case: variable undefined under Option Explicit is caught by Resume Next
Option Explicit
On Error Resume Next
Dim a
a = missing
Test.Echo Err.Number
' expect: 500
' case: raising error 0 is itself an invalid call
Err.Raise 0
' expect error: 5
