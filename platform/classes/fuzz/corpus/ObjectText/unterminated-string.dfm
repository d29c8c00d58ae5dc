object F: TTestForm
  Caption = 'unterminated
end
