object F: TTestForm
  object B: TTestWidget
    Buddy = Ghost
  end
end
