object Form1: TTestForm
  Caption = 'Form'
  OnShow = FormShow
  object Button1: TTestWidget
    Left = 8
    Width = 89
    Color = clRed
    Big = 1099511627776
    Accel = 'K'
    Enabled = False
    Align = taClient
    Styles = [tsBold, tsStrikeOut]
    Ratio = 2.5
    Small = 0.5s
    Exact = 0.1
    Price = 12.3456c
    When = 45000.5d
    Caption = 'OK'#13#10'next'
    Value = 'text'
    Font.Name = 'Tahoma'
    Font.Style = [tsItalic]
    ParentFont = False
    Items.Strings = (
      'first'
      'second')
    Columns = <
      item
        Title = 'Code'
        Width = 40
      end
      item
        Align = taRight
      end>
    Buddy = Button2
    OnClick = Button1Click
    Secret = 'hidden'
    Blob = {
      00FF10}
  end
  object Panel1: TTestPanel
    Left = 1
    object Button2: TTestWidget
      Left = 2
      OnClick = Button2Click
    end
  end
end
