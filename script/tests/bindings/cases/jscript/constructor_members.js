// A member straight after a constructor: the constructor yields its class.
var n;
Print(TStringList.Create().ClassName);          // expect: TStringList
Print(TComponent.Create(null).ClassName);       // expect: TComponent
Print(TMemoryStream.Create().Size);             // expect: 0
n = TStringList.Create().Add("x");
Print(n);                                       // expect: 0
