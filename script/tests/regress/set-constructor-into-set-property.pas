// A set constructor assigned to a set property stopped with a Variant conversion
// error: the property wanted the bit mask and got the constructor's array.
begin
  Thing.Style := [tsBold, tsItalic];
  Print(Thing.Style);      // expect: 3
  Thing.Options := [tsUnderline];
  Print(Thing.Options);    // expect: 4
end.
