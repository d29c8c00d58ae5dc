inherited F: TTestForm
  object B: TTestWidget [3]
    Exact = 1e308
    Big = -9223372036854775808
    Left = $7FFFFFFF
  end
end
