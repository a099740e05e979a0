' case: the Byte and Currency kinds, their names and numbers
Test.Echo TypeName(CByte(1)) & " " & VarType(CByte(1)) & " " & TypeName(CCur(1)) & " " & VarType(CCur(1))
Test.Echo CByte(True) & " " & CByte(200.5) & " " & CByte("7") & " " & CCur("1.23456") & " " & CCur(-2.5)
' expect: Byte 17 Currency 6
' expect: 255 200 7 1.2346 -2.5
' case: a Byte holds 0 to 255
x = CByte(256)
' expect error: 6
' case: a Byte below 0 overflows
x = CByte(-1)
' expect error: 6
' case: Currency keeps four decimals exactly
c = CCur(0.1) + CCur(0.2)
Test.Echo c & " " & TypeName(c) & " " & (c = CCur(0.3))
t = CCur(0)
For i = 1 To 10
    t = t + CCur(0.1)
Next
Test.Echo t & " " & (t = 1) & " " & TypeName(t)
Test.Echo CCur(1.5) * CCur(1.5) & " " & CCur(10) / 4 & " " & TypeName(CCur(10) / 4)
Test.Echo CCur("922337203685477.5807") & " " & -CCur(3.25) & " " & TypeName(-CCur(3.25))
' expect: 0.3 Currency True
' expect: 1 True Currency
' expect: 2.25 2.5 Double
' expect: 922337203685477.5807 -3.25 Currency
' case: Currency beyond its range overflows
x = CCur("922337203685477.5807") + 1
' expect error: 6
' case: arithmetic promotion of Byte and Currency
b = CByte(200)
Test.Echo TypeName(b + CByte(50)) & " " & TypeName(b + b) & " " & (b + b) & " " & TypeName(b + 1) & " " & TypeName(b * 1.5)
Test.Echo TypeName(CCur(1) + 1) & " " & TypeName(CCur(1) + 1.5) & " " & TypeName(CCur(1) + CByte(1)) & " " & TypeName(-b)
Test.Echo TypeName(Int(CCur(2.5))) & " " & Int(CCur(2.5)) & " " & TypeName(Abs(CByte(3))) & " " & TypeName(b \ 3)
' expect: Byte Integer 400 Integer Double
' expect: Currency Currency Currency Integer
' expect: Currency 2 Byte Integer
' case: Byte and Currency compare, convert and key dictionaries as numbers
Set d = Test.NewDictionary()
d.Add CByte(1), "one"
Test.Echo d.Item(1) & " " & (CByte(3) = 3) & " " & (CCur(2.5) > 2) & " " & CLng(CCur(2.5)) & " " & CStr(CCur(0.0001)) & " " & IsNumeric(CCur(1))
' expect: one True True 2 0.0001 True
