// A class method is called on the class name without an object; an instance
// method still needs one.
{
  Print(TTestThing.Version);     // expect: 1.0
  Print(Thing.Version);          // expect: 1.0 of host
  Print(TTestThing.Twice(2));    // expect runtime error line 6: Обращение к несуществующему объекту (nil): Twice
}
