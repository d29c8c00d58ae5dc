object F: TTestForm
  object B: TTestWidget
    Columns = <
      item [1]
        Width = 1
      end
      item
    end
end
