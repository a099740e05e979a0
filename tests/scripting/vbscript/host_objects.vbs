' case: host methods change arguments passed by reference in place
x = 21
Test.Twice x
Test.Echo x
Dim a(1)
a(1) = 4
Test.Twice a(1)
Test.Echo a(1)
Test.Twice (x)
Test.Echo x
' expect: 42
' expect: 8
' expect: 42
' case: default member reads and assignments on host objects
Set d = Test.NewDictionary()
d("a") = 1
d.Item("b") = 2
Test.Echo d("a") + d.Item("b")
Test.Echo d.Count
Test.Echo d.Exists("a")
' expect: 3
' expect: 2
' expect: True
' case: an exposed name cannot be assigned
Test = 5
' expect error: 501
' case: a method result indexed at once
Set d = Test.NewDictionary()
d.Add "x", 10
d.Add "y", 20
Test.Echo d.Keys()(1)
' expect: y
' case: host errors end the run with their numbers
Set d = Test.NewDictionary()
d.Add "x", 1
d.Add "x", 2
' expect error: 457 line 3
' case: a host object without the member
Test.Missing
' expect error: 438
' case: CreateObject reaches the program's creatable objects
Set d = CreateObject("Scripting.Dictionary")
d.Add "k", "v"
Test.Echo d("k") & " " & TypeName(d)
' expect: v Dictionary
