' case: Array builds a zero-based array of its arguments
a = Array(1, "two", 3.5, True)
Test.Echo LBound(a) & " " & UBound(a) & " " & a(1) & " " & TypeName(a(2)) & " " & TypeName(a)
e = Array()
Test.Echo LBound(e) & " " & UBound(e) & " " & IsArray(e)
' expect: 0 3 two Double Variant()
' expect: 0 -1 True
' case: arrays inside arrays are indexed one after the other
a = Array(1, Array(2, Array(3, 4)))
Test.Echo a(1)(0) & " " & a(1)(1)(1) & " " & UBound(a(1)(1))
' expect: 2 4 1
' case: assigning an array copies it
a = Array(1, 2)
b = a
b(0) = 9
Test.Echo a(0) & " " & b(0)
' expect: 1 9
' case: UBound and LBound of each dimension
Dim m(2, 4), v(5)
Test.Echo UBound(m) & " " & UBound(m, 1) & " " & UBound(m, 2) & " " & LBound(m, 2) & " " & UBound(v, 1) & " " & UBound(m, "2") & " " & UBound(m, 1.6)
' expect: 2 2 4 0 5 4 4
' case: UBound past the last dimension is out of range
Dim m(2, 4)
x = UBound(m, 3)
' expect error: 9
' case: LBound of dimension 0 is out of range
x = LBound(Array(1), 0)
' expect error: 9
' case: UBound of an array never sized is out of range
Dim d()
x = UBound(d)
' expect error: 9
' case: UBound of something that is no array is a type mismatch
x = UBound("x")
' expect error: 13
' case: an index past the bounds is out of range
a = Array(1, 2, 3)
x = a(3)
' expect error: 9 line 2
' case: ReDim and ReDim Preserve grow and shrink arrays
Dim d()
ReDim d(2)
d(0) = "a"
ReDim Preserve d(UBound(d) + 2)
Test.Echo UBound(d) & " " & d(0) & " " & IsEmpty(d(4))
ReDim Preserve d(0)
Test.Echo UBound(d) & " " & d(0)
ReDim d(1)
Test.Echo UBound(d) & " " & IsEmpty(d(0))
' expect: 4 a True
' expect: 0 a
' expect: 1 True
' case: ReDim Preserve of an array from Array and Split keeps its items
a = Array("x", "y")
ReDim Preserve a(3)
a(3) = "w"
Test.Echo Join(a, ",")
p = Split("1 2 3")
ReDim Preserve p(1)
Test.Echo Join(p, "+") & " " & UBound(p)
' expect: x,y,,w
' expect: 1+2 1
' case: ReDim Preserve changes only the last dimension
ReDim g(1, 1)
g(1, 1) = "k"
ReDim Preserve g(1, 3)
Test.Echo UBound(g, 2) & " " & g(1, 1)
' expect: 3 k
' case: ReDim Preserve of a dimension other than the last is out of range
ReDim g(1, 1)
ReDim Preserve g(2, 1)
' expect error: 9
' case: a procedure grows an array passed by reference
Sub Push(arr, value)
  ReDim Preserve arr(UBound(arr) + 1)
  arr(UBound(arr)) = value
End Sub
list = Array()
Push list, "a"
Push list, "b"
Test.Echo UBound(list) & " " & Join(list, "")
' expect: 1 ab
' case: Erase leaves a dynamic array without elements until the next ReDim
ReDim d(3)
d(0) = "x"
Erase d
On Error Resume Next
x = UBound(d)
Test.Echo Err.Number & " " & IsArray(d)
On Error GoTo 0
ReDim d(1)
Test.Echo UBound(d) & " [" & d(0) & "]"
' expect: 9 True
' expect: 1 []
' case: Erase clears a fixed-size array's elements in every scope and keeps its size
Dim g(2, 1)
g(2, 1) = "x"
Erase g
Test.Echo UBound(g, 1) & UBound(g, 2) & " " & IsEmpty(g(2, 1))
g(0, 0) = 5
Test.Echo g(0, 0)
Sub ClearLocal()
  Dim l(3)
  l(3) = 1
  Erase l
  Test.Echo UBound(l) & " " & IsEmpty(l(3))
End Sub
ClearLocal
Sub ClearGlobal()
  Erase g
End Sub
ClearGlobal
Test.Echo IsEmpty(g(0, 0)) & " " & UBound(g)
Class Holder
  Public items(1)
  Sub Clear()
    Erase items
  End Sub
End Class
Set h = New Holder
h.items(1) = "y"
h.Clear
Test.Echo UBound(h.items) & " " & IsEmpty(h.items(1))
' expect: 21 True
' expect: 5
' expect: 3 True
' expect: True 2
' expect: 1 True
' case: ReDim of an array declared with its size is error 10
Dim f(2)
ReDim f(5)
' expect error: 10
' case: ReDim Preserve of a local declared with its size is error 10 too
Sub Grow()
  Dim f(2)
  ReDim Preserve f(5)
End Sub
Grow
' expect error: 10
' case: a name declared with Dim a() stays dynamic: ReDim and Erase as usual
Dim dyn()
ReDim dyn(2)
dyn(2) = 1
Erase dyn
ReDim dyn(4)
Test.Echo UBound(dyn) & " [" & dyn(2) & "]"
' expect: 4 []
' case: Filter keeps or drops the items that contain a text
fruit = Array("apple", "Banana", "cherry", "mango")
Test.Echo Join(Filter(fruit, "an"), ",")
Test.Echo Join(Filter(fruit, "an", False), ",")
Test.Echo Join(Filter(fruit, "AN", True, vbTextCompare), ",")
Test.Echo Join(Filter(fruit, "AN", True, vbBinaryCompare), ",") & "|" & UBound(Filter(fruit, "z"))
' expect: Banana,mango
' expect: apple,cherry
' expect: Banana,mango
' expect: |-1
' case: Filter writes its items as texts
f = Filter(Array(12, 3, 112), "1")
Test.Echo UBound(f) & " " & TypeName(f(0)) & " " & Join(f, ",")
Test.Echo Join(Filter(Array("中文字幕", "英文", "字幕"), "字幕"), ",")
Test.Echo Join(Filter(Array("an", "x"), "AN", , vbTextCompare), ",")
' expect: 1 String 12,112
' expect: 中文字幕,字幕
' expect: an
' case: Filter of something that is no array is a type mismatch
x = Filter("x", "a")
' expect error: 13
' case: Filter by Null is an invalid use of Null
x = Filter(Array("a"), Null)
' expect error: 94
' case: Split and Join round trip, UBound of the parts
parts = Split("one,two,,four", ",")
Test.Echo UBound(parts)
Test.Echo Join(parts, "|")
Test.Echo Join(Filter(parts, "o"), "+")
' expect: 3
' expect: one|two||four
' expect: one+two+four
' case: Split keeps empty pieces at the ends
p = Split(",a,", ",")
Test.Echo UBound(p) & " [" & p(0) & "][" & p(1) & "][" & p(2) & "]"
p = Split("a<>b<>c", "<>")
Test.Echo UBound(p) & " " & p(2)
p = Split("abc", "")
Test.Echo UBound(p) & " " & p(0)
p = Split("")
Test.Echo UBound(p) & " " & LBound(p)
' expect: 2 [][a][]
' expect: 2 c
' expect: 0 abc
' expect: -1 0
' case: For Each walks the pieces of a Split
total = 0
For Each n In Split("1,2,3,4", ",")
  total = total + n
Next
Test.Echo total
' expect: 10
' case: Join of Split gives the text back
For Each s In Array("a,b", ",", "", "中,文,", ",,")
  If Join(Split(s, ","), ",") <> s Then Test.Echo "lost " & s
Next
Test.Echo "done"
' expect: done
' case: indexes are converted like any number, rounding half to even
a = Array("a", "b", "c")
Test.Echo a("1") & a(1.5) & a(0.5) & a(True + 1)
' expect: bcaa
' case: a negative index is out of range
a = Array(1)
x = a(-1)
' expect error: 9
' case: For Each visits a two-dimensional array with the first index fastest
Dim m(1, 1)
m(0, 0) = 1
m(1, 0) = 2
m(0, 1) = 3
m(1, 1) = 4
s = ""
For Each v In m
  s = s & v
Next
Test.Echo s
' expect: 1234
' case: array elements pass by reference into procedures
Sub Increment(n)
  n = n + 1
End Sub
a = Array(1, 2)
Increment a(0)
Dim f(1)
f(1) = 10
Increment f(1)
Test.Echo a(0) & " " & f(1)
' expect: 2 11
' case: Split with a count of 1 keeps the whole text, its pieces stay texts
Test.Echo UBound(Split("a,b,c", ",", 1)) & " " & Split("a,b,c", ",", 1)(0)
rows = Split("1,2;3,4", ";")
Test.Echo Split(rows(1), ",")(0) + Split(rows(0), ",")(1) & " " & UBound(rows)
' expect: 0 a,b,c
' expect: 32 1
' case: the array results of the built-ins are dynamic arrays of Variants
e = Array()
ReDim Preserve e(0)
e(0) = "first"
f = Filter(Array("x"), "y")
ReDim Preserve f(1)
Test.Echo UBound(e) & " " & e(0) & " " & UBound(f) & " " & TypeName(Split("")) & " " & TypeName(Filter(Array("a"), "a")) & " " & VarType(Split("a b"))
' expect: 0 first 1 Variant() Variant() 8204
