' case: unary minus binds tighter than ^
Test.Echo -3 ^ 2
Test.Echo 2 ^ -1
Test.Echo -2 ^ 3
Test.Echo 2 ^ 3 ^ 2
Test.Echo 10 - -2 ^ 2
Test.Echo -2 * 3 ^ 2
' expect: 9
' expect: 0.5
' expect: -8
' expect: 64
' expect: 6
' expect: -18
