// obj.Delete(1) stopped with "';' expected": after "." only non-reserved words
// were read, so members such as TList.Delete could not be named.
{
  Print(Thing.Delete(3));  // expect: 30
}
