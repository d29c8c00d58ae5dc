Sub Handler
End Sub
Print(AddressOf Handler)  ' expect: Handler
Print(<Field one>)        ' expect: value of Field one
Print(Echo(1 +  2))       ' expect: [1 +  2]
