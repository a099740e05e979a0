' case: fields, methods, Property Get and Let, Me
Class Counter
    Private m_count
    Public Name
    Private Sub Class_Initialize()
        m_count = 0
        Name = "counter"
    End Sub
    Public Sub Increment()
        m_count = m_count + 1
    End Sub
    Public Property Get Count()
        Count = m_count
    End Property
    Public Property Let Count(value)
        m_count = value
    End Property
    Public Function Describe()
        Describe = Me.Name & "=" & Count
    End Function
End Class
Set c = New Counter
c.Increment
c.Increment
Test.Echo c.Count
c.Count = 10
c.Increment
Test.Echo c.Describe()
Test.Echo TypeName(c)
' expect: 2
' expect: counter=11
' expect: Counter
' case: private members are not reachable from outside
Class Box
    Private secret
End Class
Set b = New Box
b.secret = 1
' expect error: 438
' case: an unknown member
Class Box
End Class
Set b = New Box
b.Nothing1
' expect error: 438
' case: Property Set and object fields
Class Holder
    Private m_item
    Public Property Set Item(value)
        Set m_item = value
    End Property
    Public Property Get Item()
        Set Item = m_item
    End Property
End Class
Set h = New Holder
Set h.Item = Test.NewDictionary()
h.Item.Add "k", "v"
Test.Echo h.Item.Count
Test.Echo h.Item("k")
' expect: 1
' expect: v
' case: a default member is used when the object stands alone or is indexed
Class List
    Private items(3)
    Public Default Property Get Item(i)
        Item = items(i)
    End Property
    Public Property Let Item(i, value)
        items(i) = value
    End Property
End Class
Set l = New List
l.Item(1) = "one"
l(2) = "two"
Test.Echo l(1) & l.Item(2)
' expect: onetwo
' case: Class_Terminate runs when the last reference goes
Class Noisy
    Private Sub Class_Terminate()
        Test.Echo "bye"
    End Sub
End Class
Set n = New Noisy
Test.Echo "set"
Set n = Nothing
Test.Echo "after"
' expect: set
' expect: bye
' expect: after
' case: objects are references: both names reach the same object
Class Cell
    Public Value
End Class
Set a = New Cell
Set b = a
b.Value = 5
Test.Echo a.Value
' expect: 5
' case: a class instance handed to the host and back keeps working
Class Cell
    Public Value
    Public Function Twice()
        Twice = Value * 2
    End Function
End Class
Set a = New Cell
a.Value = 21
Set d = Test.NewDictionary()
d.Add "cell", a
Test.Echo d("cell").Twice()
Set Test.Kept = a
Test.Echo Test.Kept.Value
' expect: 42
' expect: 21
' case: New of an unknown class
Set x = New Missing
' expect error: 506
' case: Set with a value that is no object
Set x = 5
' expect error: 424
' case: a method on Nothing
Set x = Nothing
x.Run
' expect error: 424
' case: New RegExp makes the regular-expression object
Set r = New RegExp
r.Pattern = "b+"
r.Global = True
Test.Echo r.Test("abbbc")
Test.Echo r.Replace("abbcb", "-")
Test.Echo TypeName(r)
' expect: True
' expect: a-c-
' expect: IRegExp2
' case: New RegExp is the object even beside a script's own class of that name
Class RegExp
    Public Pattern
End Class
Set r = New RegExp
Test.Echo TypeName(r)
' expect: IRegExp2

' case: a class declared twice in one script: the later declaration is the class, and binding both does not fail
Class Twice
    Public Function Which()
        Which = 1
    End Function
End Class
Class Twice
    Public Function Which()
        Which = 2
    End Function
End Class
Dim t
Set t = New Twice
Test.Echo t.Which()
' expect: 2
' case: a regular expression through New RegExp
Set re = New RegExp
re.Pattern = "(\d+)-(\d+)"
re.Global = True
Set matches = re.Execute("1-2 and 30-40")
Test.Echo matches.Count & " " & matches(1).SubMatches(1)
Test.Echo re.Replace("1-2", "$2-$1")
' expect: 2 40
' expect: 2-1
