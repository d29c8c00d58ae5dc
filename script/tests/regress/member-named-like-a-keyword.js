// obj.Delete(1) stopped with "Statement expected": after "." only non-reserved
// words were read, so members such as TList.Delete could not be named.
var v;
v = Thing;
Print(Thing.Delete(1));    // expect: 10
Print(v.Delete(2));        // expect: 20
