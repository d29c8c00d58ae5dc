object W: TTestWidget
  Value = ( 1 2.5 'x' True nil )
end
