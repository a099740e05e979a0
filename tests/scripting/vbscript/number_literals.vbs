' case: hexadecimal and octal literals with the Long mark are Longs
Test.Echo &HFFFF& & " " & TypeName(&HFFFF&)
Test.Echo &H8000& & " " & TypeName(&H8000&)
Test.Echo &O177777& & " " & TypeName(&O177777&)
Test.Echo &H7& & " " & TypeName(&H7&)
' expect: 65535 Long
' expect: 32768 Long
' expect: 65535 Long
' expect: 7 Long
' case: without the mark a literal takes the smallest kind that holds it
Test.Echo &HFFFFFFFF & " " & TypeName(&HFFFFFFFF)
Test.Echo &HFFFF & " " & TypeName(&HFFFF)
Test.Echo &H8000 & " " & TypeName(&H8000)
Test.Echo &H10000 & " " & TypeName(&H10000)
Test.Echo &HFFFF8000 & " " & TypeName(&HFFFF8000)
Test.Echo &H7FFFFFFF & " " & TypeName(&H7FFFFFFF)
' expect: -1 Integer
' expect: -1 Integer
' expect: -32768 Integer
' expect: 65536 Long
' expect: -32768 Integer
' expect: 2147483647 Long
' case: & before a name that starts with h or o joins texts
hn = "x" : ov = "y"
Test.Echo "a" &hn
Test.Echo "b" &ov
' expect: ax
' expect: by
' case: a number too small for a Double is zero
Test.Echo 1E-400
Test.Echo TypeName(1E-400)
' expect: 0
' expect: Double
' case: a number too large for a Double is still an error
x = 1E400
' expect error: 1031
' case: an underscore right after an operator continues the line
n =_
  4
Test.Echo n
' expect: 4
' case: a hexadecimal literal with too many digits is an error
x = &H100000000
' expect error: 1031
