' case: => =< and >< are spellings of >= <= <>
Test.Echo (3 => 2)
Test.Echo (3 =< 2)
Test.Echo (3 >< 2)
Test.Echo (2 >< 2)
' expect: True
' expect: False
' expect: True
' expect: False
' case: the spellings in If and Select Case
x = 5
If x => 5 Then Test.Echo "at least five"
Select Case x
Case Is =< 4
    Test.Echo "small"
Case Is => 5
    Test.Echo "large"
End Select
' expect: at least five
' expect: large
