// [] was refused with "Expression expected" in every syntax.
{
  Thing.Style = [];
  Print(Thing.Style);      // expect: 0
  Print(1 in []);          // expect: False
}
