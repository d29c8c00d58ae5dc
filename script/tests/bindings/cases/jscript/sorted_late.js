// A sorted string list and a list of objects in untyped variables, so every
// member is found when it runs: indexes in brackets, var parameters written back.
var sl, l, b, i, k, found;
sl = TStringList.Create();
sl.Sorted = true;
sl.Add("pear");
sl.Add("apple");
sl.Add("Яблоко");
sl.Add("fig");
Print(sl.CommaText);                 // expect: apple,fig,pear,Яблоко
Print(sl.Strings[1] + "/" + sl[3]);  // expect: fig/Яблоко
i = -1;
found = sl.Find("pear", i);
Print(found);                        // expect: True
Print(i);                            // expect: 2
found = sl.Find("grape", i);
Print(found);                        // expect: False
Print(i);                            // expect: 2
Print(sl.IndexOf("FIG"));            // expect: 1
sl.Objects[0] = sl;
Print(sl.Objects[0].Count);          // expect: 4
l = TList.Create();
for (k = 0; k <= 2; k++) {
  b = TButton.Create(nil);
  b.Caption = "B" + IntToStr(k);
  l.Add(b);
}
Print(l.Count);                      // expect: 3
Print(l.Items[2].Caption);           // expect: B2
Print(l[0].Caption);                 // expect: B0
l.Delete(1);
for (k = 0; k < l.Count; k++)
  Print(l[k].Caption);               // expect: B0
                                     // expect: B2
for (k = l.Count - 1; k >= 0; k--)
  l[k].Free();
l.Free();
sl.Free();
