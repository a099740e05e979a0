' case: dates from parts and back
d = DateSerial(2024, 14, 35)
Test.Echo Year(d) & "-" & Month(d) & "-" & Day(d)
Test.Echo DateDiff("d", DateSerial(2024, 1, 1), DateSerial(2024, 3, 1))
Test.Echo Month(DateAdd("m", 1, DateSerial(2024, 1, 31))) & "/" & Day(DateAdd("m", 1, DateSerial(2024, 1, 31)))
' expect: 2025-3-7
' expect: 60
' expect: 2/29
' case: DateSerial carries months and days past their range
Test.Echo DateSerial(2024, 3, 15) & " " & DateSerial(2024, 3, 0) & " " & DateSerial(2024, 0, 1) & " " & DateSerial(2024, -1, 1) & " " & DateSerial(2023, 12, 32)
Test.Echo DateSerial(24, 1, 1) & " " & DateSerial(99, 1, 1) & " " & DateSerial("2024", "2", "3") & " " & TypeName(DateSerial(2024, 1, 1))
' expect: 2024/3/15 2024/2/29 2023/12/1 2023/11/1 2024/1/1
' expect: 2024/1/1 1999/1/1 2024/2/3 Date
' case: dates written as texts are read by the date functions
Test.Echo Month("2024年3月15日") & " " & DateAdd("m", 1, "2024-01-31") & " " & CDate("13:05") & " " & DateDiff("yyyy", #12/31/2023#, #1/1/2025#) & " " & DateSerial(2024, 2, 29) + 365
' expect: 3 2024/2/29 13:05:00 2 2025/2/28
' case: the serial 0 is written as a time of day
Test.Echo CDate(0) & " " & FormatDateTime(0, vbLongTime) & " " & FormatDateTime(0) & " " & TimeValue("00:00") & " " & CDate(0.75)
' expect: 0:00:00 0:00:00 0:00:00 0:00:00 18:00:00
' case: DateSerial past year 9999 is an invalid call
x = DateSerial(10000, 1, 1)
' expect error: 5
' case: DateSerial of a Null year is an invalid use of Null
x = DateSerial(Null, 1, 1)
' expect error: 94
' case: TimeSerial carries seconds and minutes into hours and days
Test.Echo TimeSerial(12, 30, 0) & " " & TimeSerial(0, 0, 90) & " " & TimeSerial(9, 5, 7) & " " & TimeSerial(0, 0, 0) & " | " & TimeSerial(25, 0, 0)
Test.Echo Hour(TimeSerial(0, -1, 0)) & ":" & Minute(TimeSerial(0, -1, 0)) & " " & TypeName(TimeSerial(1, 2, 3))
' expect: 12:30:00 0:01:30 9:05:07 0:00:00 | 1899/12/31 1:00:00
' expect: 23:59 Date
' case: TimeSerial of a Null hour is an invalid use of Null
x = TimeSerial(Null, 0, 0)
' expect error: 94
' case: DateValue and TimeValue take the two halves of a text
Test.Echo DateValue("2024-03-15 12:00") & " " & TimeValue("2024-03-15 12:00") & " " & TimeValue("1:30 PM") & " " & DateValue("2024年3月15日")
Test.Echo (DateValue("2024-03-15 18:00") = DateSerial(2024, 3, 15))
' expect: 2024/3/15 12:00:00 13:30:00 2024/3/15
' expect: True
' case: DateValue of a text that is no date is a type mismatch
x = DateValue("x")
' expect error: 13
' case: Year to Second read a date and a text
d = CDate("2024-03-15 13:05:09")
Test.Echo Year(d) & " " & Month(d) & " " & Day(d) & " " & Hour(d) & " " & Minute(d) & " " & Second(d)
Test.Echo Year("2024-03-15") & " " & Hour("13:05") & " " & Day(1) & " " & Year(0) & " " & TypeName(Year(d)) & " " & IsNull(Month(Null))
' expect: 2024 3 15 13 5 9
' expect: 2024 13 31 1899 Integer True
' case: Year of a text that is no date is a type mismatch
x = Year("abc")
' expect error: 13
' case: date literals are written month first
d = #3/15/2024 1:02:03 PM#
Test.Echo d & " " & (#3/15/2024# = DateSerial(2024, 3, 15)) & " " & TypeName(#1/1/2000#)
' expect: 2024/3/15 13:02:03 True Date
' case: Weekday counts from the first day asked for
d = DateSerial(2024, 3, 15)
Test.Echo Weekday(d) & " " & Weekday(d, vbMonday) & " " & Weekday(d, vbSaturday) & " " & Weekday("2024-03-17") & " " & IsNull(Weekday(Null))
' expect: 6 5 7 1 True
' case: Weekday with a first day past 7 is an invalid call
x = Weekday(Date, 8)
' expect error: 5
' case: WeekdayName and MonthName in the locale's words
d = DateSerial(2024, 3, 15)
Test.Echo WeekdayName(1) & " " & WeekdayName(1, True) & " " & WeekdayName(1, False, vbMonday) & " " & WeekdayName(7, False, vbMonday) & " " & WeekdayName(Weekday(d))
Test.Echo MonthName(12) & " " & MonthName(1, True) & " " & MonthName(Month(d)) & " " & WeekdayName(2, , vbMonday)
' expect: 星期日 周日 星期一 星期日 星期五
' expect: 十二月 1月 三月 星期二
' case: WeekdayName past 7 is an invalid call
x = WeekdayName(8)
' expect error: 5
' case: MonthName of month 0 is an invalid call
x = MonthName(0)
' expect error: 5
' case: DateAdd by each interval
d = DateSerial(2024, 3, 15)
Test.Echo DateAdd("d", 1, d) & " " & DateAdd("d", -15, d) & " " & DateAdd("ww", 2, d) & " " & DateAdd("w", 2, d) & " " & DateAdd("q", 1, DateSerial(2024, 11, 30))
Test.Echo DateAdd("yyyy", 1, #2/29/2024#) & " " & DateAdd("m", -3, "2024-03-15 06:00") & " " & DateAdd("n", 90, d) & " " & DateAdd("s", 86400, d) & " " & DateAdd("h", 25, d)
Test.Echo DateAdd("D", 1, d) & " " & DateAdd("y", 1, d)
' expect: 2024/3/16 2024/2/29 2024/3/29 2024/3/17 2025/2/28
' expect: 2025/2/28 2023/12/15 6:00:00 2024/3/15 1:30:00 2024/3/16 2024/3/16 1:00:00
' expect: 2024/3/16 2024/3/16
' case: DateAdd with an unknown interval is an invalid call
x = DateAdd("x", 1, Date)
' expect error: 5
' case: DateAdd of a Null number is an invalid use of Null
x = DateAdd("d", Null, Date)
' expect error: 94
' case: DateDiff counts the boundaries crossed
d = DateSerial(2024, 3, 15)
Test.Echo DateDiff("d", "2024-03-15", "2024-03-20") & " " & DateDiff("d", "2024-03-20", "2024-03-15") & " " & DateDiff("yyyy", "2023-12-31", "2024-01-01") & " " & DateDiff("q", "2024-03-31", "2024-04-01") & " " & DateDiff("m", #1/31/2024#, #2/1/2024#)
Test.Echo DateDiff("h", "2024-03-15 10:59", "2024-03-15 11:00") & " " & DateDiff("n", "2024-03-15 11:00", "2024-03-15 10:59:59") & " " & DateDiff("s", 0, 1) & " " & TypeName(DateDiff("d", d, d))
Test.Echo DateDiff("ww", d, d + 2) & " " & DateDiff("w", d, d + 2) & " " & DateDiff("ww", d, d + 14) & " " & DateDiff("w", d, d + 13) & " " & DateDiff("ww", d, d + 2, vbMonday)
' expect: 5 -5 1 1 1
' expect: 1 -1 86400 Long
' expect: 1 0 2 1 0
' case: DateDiff with an unknown interval is an invalid call
x = DateDiff("x", Date, Date)
' expect error: 5
' case: DatePart by each interval and week rule
d = CDate("2024-03-15 13:05:09")
Test.Echo DatePart("yyyy", d) & " " & DatePart("q", "2024-08-01") & " " & DatePart("m", d) & " " & DatePart("y", "2024-03-01") & " " & DatePart("d", d) & " " & DatePart("w", d) & " " & DatePart("w", d, vbMonday) & " " & DatePart("h", d) & " " & DatePart("n", d) & " " & DatePart("s", d)
Test.Echo DatePart("ww", "2024-01-01") & " " & DatePart("ww", "2024-12-31") & " " & DatePart("ww", "2021-01-01", vbMonday, vbFirstFourDays) & " " & DatePart("ww", "2021-01-04", vbMonday, vbFirstFourDays) & " " & DatePart("ww", "2021-01-01", vbSunday, vbFirstFullWeek) & " " & DatePart("ww", "2021-01-03", vbSunday, vbFirstFullWeek)
' expect: 2024 3 3 61 15 6 5 13 5 9
' expect: 1 53 53 1 52 1
' case: DatePart with an unknown interval is an invalid call
x = DatePart("x", Date)
' expect error: 5
' case: FormatDateTime in each named format
d = CDate("2024-03-15 09:05:07")
Test.Echo FormatDateTime(d) & " | " & FormatDateTime(d, vbLongDate) & " | " & FormatDateTime(d, vbShortDate) & " | " & FormatDateTime(d, vbLongTime) & " | " & FormatDateTime(d, vbShortTime)
Test.Echo FormatDateTime("2024-03-15", 2) & " | " & FormatDateTime(DateSerial(2024, 3, 15), vbGeneralDate) & " | " & TypeName(FormatDateTime(d))
' expect: 2024/3/15 9:05:07 | 2024年3月15日 | 2024/3/15 | 9:05:07 | 09:05
' expect: 2024/3/15 | 2024/3/15 | String
' case: FormatDateTime with an unknown format is an invalid call
x = FormatDateTime(Date, 5)
' expect error: 5
' case: date arithmetic counts in days
d = DateSerial(2024, 3, 15)
Test.Echo d + 1 & " " & TypeName(d + 1) & " " & d - 1 & " " & d + 0.5 & " " & 1 + d
Test.Echo DateSerial(2024, 3, 1) - DateSerial(2024, 2, 1) & " " & TypeName(d - d) & " " & CDbl(d) & " " & CDate(45366) & " " & CLng(d)
Test.Echo (d < d + 1) & " " & (d = CDate("2024-03-15")) & " " & (DateSerial(2024, 1, 1) > DateSerial(2023, 12, 31))
' expect: 2024/3/16 Date 2024/3/14 2024/3/15 12:00:00 2024/3/16
' expect: 29 Double 45366 2024/3/15 45366
' expect: True True True
' case: the clock functions agree with each other
n = Now
today = Date
Test.Echo TypeName(Now) & " " & TypeName(Date) & " " & TypeName(Time) & " " & TypeName(Timer)
Test.Echo (Date <= Now) & " " & (Now - Date < 1.0001) & " " & (Time < 1) & " " & (Time >= 0) & " " & (Timer >= 0) & " " & (Timer < 86400) & " " & (Year(n) >= 2024)
Test.Echo (Hour(Time) >= 0 And Hour(Time) < 24) & " " & (Int(CDbl(today)) = CDbl(today)) & " " & (DateDiff("s", n, Now) >= 0)
' expect: Date Date Date Single
' expect: True True True True True True True
' expect: True True True
