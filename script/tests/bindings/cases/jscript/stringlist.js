var sl, i, found;
sl = TStringList.Create();
sl.Add("pear");
sl.Add("apple");
Print(sl.Add("Яблоко"));          // expect: 2
Print(sl.Count);                  // expect: 3
sl.Sort();
Print(sl.CommaText);              // expect: apple,pear,Яблоко
Print(sl.IndexOf("PEAR"));        // expect: 1
Print(sl.IndexOf("plum"));        // expect: -1
Print(sl[0] + "/" + sl.Strings[2]); // expect: apple/Яблоко
sl.Sorted = true;
found = sl.Find("peach", i);
Print(found);                     // expect: False
Print(i);                         // expect: 1
sl.Clear();
sl.Sorted = false;
sl.Text = "a=1" + Chr(13) + Chr(10) + "b=2";
Print(sl.Values["b"]);            // expect: 2
Print(sl.Names[0]);               // expect: a
sl.Values["c"] = "3";
Print(sl.CommaText);              // expect: a=1,b=2,c=3
sl.CommaText = "x,'y z',w";
Print(sl.Count);                  // expect: 4
Print(sl.ClassName);              // expect: TStringList
sl.Free();
Print(sl.Count);                  // expect runtime error line 27: Объект уже уничтожен или ссылка на него неверна: Count
