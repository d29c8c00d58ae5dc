// var and parameters may name a type: members are then checked when the
// script compiles, and set constructors given to them become masks.
var t: TTestThing, n: Integer = 40, s: String, styles: TThingStyles, plain;

function Describe(x: TTestThing, &k: Integer)
{
  k = k + 2;
  return x.Caption + "/" + IntToStr(k);
}

t = Thing;
t.Caption = "typed";
Print(Describe(t, n));          // expect: typed/42
Print(n);                       // expect: 42
Print(t.Items[3]);              // expect: typed#3
styles = [tsBold, tsStrike];
Print(styles);                  // expect: 9
t.Style = styles;
Print(t.Style);                 // expect: 9
s = "5";
Print(s + "!");                 // expect: 5!
plain = t;
Print(plain.Caption);           // expect: typed
