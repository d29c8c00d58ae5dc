Dim a
a = "x" _
  & 0x10 ' comment
rem remark
/\ block /\r
