object Form12: TForm12
  Left = 300
  Top = 250
  BorderStyle = bsDialog
  Caption = 'Графа "Наименование"'
  ClientHeight = 169
  ClientWidth = 345
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poMainFormCenter
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object Label1: TLabel
    Left = 12
    Top = 12
    Width = 321
    Height = 13
    Caption = 'Графа "Наименование" в каждом документе будет содержать:'
  end
  object CheckBox3: TCheckBox
    Left = 24
    Top = 36
    Width = 145
    Height = 17
    Caption = 'Наименование'
    Checked = True
    Enabled = False
    State = cbChecked
    TabOrder = 0
  end
  object CheckBox1: TCheckBox
    Left = 24
    Top = 58
    Width = 145
    Height = 17
    Caption = 'Цвет'
    Checked = True
    State = cbChecked
    TabOrder = 1
    OnClick = CheckBox1Click
  end
  object CheckBox2: TCheckBox
    Left = 24
    Top = 80
    Width = 145
    Height = 17
    Caption = 'Размеры'
    Checked = True
    State = cbChecked
    TabOrder = 2
    OnClick = CheckBox2Click
  end
  object Label2: TLabel
    Left = 12
    Top = 106
    Width = 321
    Height = 13
    Caption = 'Наименование должно содержать не более 14 символов'
  end
  object Button1: TButton
    Left = 168
    Top = 132
    Width = 81
    Height = 25
    Caption = 'OK'
    TabOrder = 3
    OnClick = Button1Click
  end
  object Button2: TButton
    Left = 256
    Top = 132
    Width = 81
    Height = 25
    Caption = 'Отмена'
    TabOrder = 4
    OnClick = Button2Click
  end
end
