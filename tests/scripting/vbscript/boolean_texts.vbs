' case: the texts #TRUE# and #FALSE# are Booleans
If "#TRUE#" Then Test.Echo "true text"
If Not CBool("#FALSE#") Then Test.Echo "false text"
Test.Echo CBool("#true#") & " " & CBool(" #False# ")
' expect: true text
' expect: false text
' expect: True False
' case: other texts between hashes are no Booleans
x = CBool("#YES#")
' expect error: 13
